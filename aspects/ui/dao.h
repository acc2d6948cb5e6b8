// DAO: the aspects of one orb block (dialog 1062 "Аспекты и Орбисы", caption the
// block name). It loads the block whole, edits the table in memory and writes it
// only on OK; Cancel leaves the block file as it was. Orbs typed into the fields are
// taken by "Запомнить Орбисы", and by OK for the aspect shown.
#pragma once

#include <QString>
#include <array>
#include <string>

#include "aspects/aspect_record.h"
#include "aspects/ui/aspect_dialog_hooks.h"
#include "common/ui/dial.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace kv {

inline constexpr int kAspectDialogResource = 1062;
inline constexpr const char* kHelpCorrOrb = "CorrOrb";
inline constexpr const char* kHelpNewAsp = "NewAsp";

inline constexpr int kIdAspectList = 1501;
inline constexpr int kIdAspectAngle = 5200;
inline constexpr int kIdFirstOrbField = 5001;  // 5001..5022: points 1..22
inline constexpr int kIdLineKind = 100;
inline constexpr int kCmdStoreOrbs = 5031;
inline constexpr int kCmdNewAspect = 5032;
inline constexpr int kCmdDeleteAspect = 5033;
inline constexpr int kCmdToggleAspect = 5034;
inline constexpr int kCmdAspectColour = 5035;

class DAO : public Dial {
  Q_OBJECT
 public:
  // `block` names the block as the list of blocks shows it ("x.ao").
  DAO(QWidget* parent, std::string block, AspectDialogHooks hooks = {});

  const AspectTable& Table() const { return table_; }
  // The selected record, -1 when the table is empty.
  int Selected() const;
  void Select(int index);
  void Command(int id) override;

 protected:
  // OK takes the orbs typed for the aspect shown, then writes the block; a refused orb
  // or a failed write keeps the dialog open with the changes.
  bool CanClose() override;

 private:
  void BuildLayout();
  void FillList();
  void ShowSelected(bool on_opening);
  void RelabelSelected();
  // False when a field holds no orb (its message shown, the field focused).
  bool StoreOrbFields();
  // Whether the orb fields differ from what the dialog last showed in them.
  bool OrbFieldsTyped() const;
  void AddAspect();
  void DeleteSelected();
  void ChooseColourOfSelected();
  void LineKindChosen(int kind);

  std::string block_;
  AspectDialogHooks hooks_;
  AspectTable table_;
  QListWidget* list_ = nullptr;
  QLabel* angle_ = nullptr;
  std::array<QLineEdit*, kDialogOrbs> orb_fields_{};
  std::array<QString, kDialogOrbs> shown_orbs_{};
  QComboBox* line_kind_ = nullptr;
};

}  // namespace kv
