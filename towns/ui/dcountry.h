// The country chooser of the town chooser: every country of the towns database in
// the order of its name, with its second name in parentheses; the country chosen last
// time is preselected.
#pragma once

#include <optional>
#include <vector>

#include "towns/town_search.h"
#include "towns/ui/dicnt.h"

namespace kv::towns {

inline constexpr int kCountryDialogResource = 1013;
inline constexpr const char* kHelpCountry = "LCount";

class CountryListModel;

class DCountry : public DiCnt {
  Q_OBJECT
 public:
  // preselect: the row chosen last time, or -1.
  DCountry(QWidget* parent, std::vector<CountryRow> rows, int preselect);

  const std::vector<CountryRow>& Rows() const;

 private:
  CountryListModel* model_ = nullptr;
};

// Runs the country chooser on the countries of the open towns database. *last_choice
// is the row chosen last time (-1 for none) and becomes the row chosen now. Nothing
// when it was cancelled or no country was selected.
std::optional<CountryRow> ChooseCountry(QWidget* parent, db::Database& towns, int* last_choice);

}  // namespace kv::towns
