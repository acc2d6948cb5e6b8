// DVTown: the town chooser (resource 1011, help "Town", caption from "VT"). Every
// town of the towns database in the order of its name, one line each in the
// monospaced text face under the column header; a search edit whose text selects the
// first town beginning with it (no case, "ё" as "е"); "Страна" keeps the towns of one
// country; the counter shows the selected line and the number of lines; below the
// list, the correction of the selected town at the calling dialog's moment, with a
// note when the town's clocks changed on that date. The caller keeps the towns
// database open while the dialog runs.
#pragma once

#include <string>

#include "towns/town_search.h"
#include "towns/ui/dicnt.h"
#include "towns/zone_table.h"

class QLabel;
class QLineEdit;

namespace kv::towns {

inline constexpr int kTownDialogResource = 1011;
inline constexpr const char* kHelpTown = "Town";
inline constexpr int kIdTownCounter = 100;
inline constexpr int kIdTownSearch = 4001;
inline constexpr int kCmdTownCountry = 4002;
inline constexpr int kIdTownHeader = 4003;
inline constexpr int kIdTownCorrection = 4004;
inline constexpr int kIdTownNote = 4005;

class TownListModel;

class DVTown : public DiCnt {
  Q_OBJECT
 public:
  // towns: the caller's open towns database, which the list reads too.
  // search_text: the remembered text (1251), upper-cased and cut for the edit.
  // jd_local: the calling dialog's local moment; summer: apply summer time. The
  // database and the table are the caller's and outlive the dialog; *last_country is
  // the row of the country chooser to preselect and to remember (may be null).
  DVTown(QWidget* parent, db::Database& towns, TownList list, const std::string& search_text,
         double jd_local, bool summer, const ZoneTable& table, int* last_country);

  const TownList& List() const;
  // The key of the selected town, empty when none.
  std::string SelectedKey() const;
  // The search edit's text (1251).
  std::string SearchText() const;
  // The counter: "%d:%d".
  std::string CounterText() const;

  // Keeps the towns of one country (its field 3), then searches the typed text again.
  void ShowCountry(const CountryRow& country);

  void Command(int id) override;

 protected:
  void CurrentRowChanged(int row) override;

 private:
  void Search(const QString& text);

  db::Database& towns_;
  TownListModel* model_ = nullptr;
  QLineEdit* search_ = nullptr;
  QLabel* counter_ = nullptr;
  QLabel* correction_ = nullptr;
  QLabel* note_ = nullptr;
  double jd_local_;
  bool summer_;
  const ZoneTable& table_;
  int* last_country_;
};

}  // namespace kv::towns
