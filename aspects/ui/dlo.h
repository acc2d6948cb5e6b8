// DLO: the orb blocks of the working directory (dialog 1063 "Блоки аспектов и
// орбисов"). Every button acts at once on the files and on the setting "ORBFILE":
// select as current, edit (the aspect dialog), new (a copy of the current block),
// delete.
#pragma once

#include <string>

#include "aspects/ui/aspect_dialog_hooks.h"
#include "common/ui/dial.h"

class QLabel;
class QListWidget;

namespace kv {

inline constexpr int kOrbBlocksDialogResource = 1063;
inline constexpr const char* kHelpOrbis = "Orbis";
inline constexpr const char* kHelpNewOrbA = "NewOrbA";

inline constexpr int kIdBlockList = 1501;
inline constexpr int kIdCurrentBlock = 6030;
inline constexpr int kCmdSelectBlock = 5040;
inline constexpr int kCmdEditBlock = 5033;
inline constexpr int kCmdNewBlock = 5034;
inline constexpr int kCmdDeleteBlock = 5035;

class DLO : public Dial {
  Q_OBJECT
 public:
  // `orb_file` is the setting "ORBFILE" (at most 78 characters), changed in place.
  DLO(QWidget* parent, std::string& orb_file, AspectDialogHooks hooks = {});

  // The block names of the list, in order.
  std::vector<std::string> Blocks() const;
  // Selects the list item of a block name; false when it is not listed.
  bool SelectBlock(const std::string& name);
  void Command(int id) override;

 private:
  void BuildLayout();
  void FillList(const std::string& select);
  std::string SelectedBlock() const;
  void ShowCurrent();
  void Changed();
  void NewBlockAsked();
  void DeleteSelected();

  std::string& orb_file_;
  AspectDialogHooks hooks_;
  QListWidget* list_ = nullptr;
  QLabel* current_ = nullptr;
};

}  // namespace kv
