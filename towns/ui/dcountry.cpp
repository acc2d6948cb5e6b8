#include "towns/ui/dcountry.h"

#include <QListView>
#include <QVBoxLayout>

#include "common/ui/qt_text.h"
#include "towns/ui/town_models.h"

namespace kv::towns {

DCountry::DCountry(QWidget* parent, std::vector<CountryRow> rows, int preselect)
    : DiCnt(parent, kCountryDialogResource, kHelpCountry, kDialButtonsRow) {
  setWindowTitle(TextQ("VCnt"));
  model_ = new CountryListModel(std::move(rows), this);
  SetModel(model_);
  auto* layout = new QVBoxLayout(this);
  ListView()->setMinimumSize(ListView()->fontMetrics().averageCharWidth() * 44,
                             ListView()->fontMetrics().height() * 20);
  layout->addWidget(ListView(), 1);
  layout->addWidget(ButtonBox());
  SelectRow(preselect);
  if (CurrentRow() < 0) SelectRow(0);
}

const std::vector<CountryRow>& DCountry::Rows() const { return model_->Rows(); }

std::optional<CountryRow> ChooseCountry(QWidget* parent, db::Database& towns, int* last_choice) {
  DCountry dialog(parent, Countries(towns), last_choice ? *last_choice : -1);
  if (RunDialog(dialog) != kCmdOk) return std::nullopt;
  const int row = dialog.CurrentRow();
  if (row < 0) return std::nullopt;
  if (last_choice) *last_choice = row;
  return dialog.Rows()[static_cast<size_t>(row)];
}

}  // namespace kv::towns
