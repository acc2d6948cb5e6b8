#include "towns/ui/dvtown.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "common/calendar.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/ui/qt_text.h"
#include "db/schema/script.h"
#include "towns/town_choice.h"
#include "towns/ui/dcountry.h"
#include "towns/ui/town_models.h"
#include "towns/zone_correction.h"

namespace kv::towns {
namespace {

// Width of a list line: "%-25.25s %-25.25s %8s %8s  %4.4s  %-4.4s" and a margin.
constexpr int kLineChars = 84;
constexpr int kShownLines = 22;

QFont ListFont() {
  QFont f(FromCp1251(DialogTextFace()));
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  return f;
}

}  // namespace

DVTown::DVTown(QWidget* parent, db::Database& towns, TownList list,
               const std::string& search_text, double jd_local, bool summer,
               const ZoneTable& table, int* last_country)
    : DiCnt(parent, kTownDialogResource, kHelpTown, kDialButtonsRow),
      towns_(towns),
      jd_local_(jd_local),
      summer_(summer),
      table_(table),
      last_country_(last_country) {
  setWindowTitle(TextQ("VT"));
  const QFont mono = ListFont();

  auto* header = new QLabel(TextQ("TwHead"), this);
  header->setFont(mono);
  RegisterControl(kIdTownHeader, header);
  counter_ = new QLabel(this);
  counter_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // Wide enough for any count, so that the row does not shift while the user types.
  counter_->setMinimumWidth(counter_->fontMetrics().horizontalAdvance(QStringLiteral("000000:000000")));
  RegisterControl(kIdTownCounter, counter_);

  model_ = new TownListModel(std::move(list), this);
  SetModel(model_);
  QListView* view = ListView();
  view->setFont(mono);
  const QFontMetrics fm(mono);
  view->setMinimumWidth(fm.horizontalAdvance(QString(kLineChars, QChar('0'))) +
                        view->verticalScrollBar()->sizeHint().width());
  view->setMinimumHeight(fm.height() * kShownLines);

  search_ = AddEdit(kIdTownSearch, static_cast<int>(kSearchEditChars));
  search_->setFixedWidth(fm.horizontalAdvance(QString(kSearchEditChars + 2, QChar('0'))));
  QPushButton* country = AddButton(kCmdTownCountry, TextQ("TwCntry"));
  correction_ = new QLabel(this);
  RegisterControl(kIdTownCorrection, correction_);
  note_ = new QLabel(this);
  note_->setStyleSheet(QStringLiteral("color: #a00000"));
  RegisterControl(kIdTownNote, note_);
  if (auto* ok = ControlAs<QPushButton>(kCmdOk)) ok->setText(TextQ("TwTake"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(header);
  layout->addWidget(view, 1);
  auto* find = new QHBoxLayout;
  auto* find_label = new QLabel(TextQ("TwFind"), this);
  find_label->setBuddy(search_);
  find->addWidget(find_label);
  find->addWidget(search_);
  find->addSpacing(12);
  find->addWidget(country);
  find->addStretch(1);
  find->addWidget(counter_);
  layout->addLayout(find);
  auto* moment = new QHBoxLayout;
  moment->addWidget(correction_);
  moment->addSpacing(16);
  moment->addWidget(note_, 1);
  layout->addLayout(moment);
  layout->addWidget(ButtonBox());

  // The first line is selected; the remembered text then searches as typing would.
  SelectRow(0);
  search_->setText(FromCp1251(SearchEditText(search_text)));
  connect(search_, &QLineEdit::textChanged, this, &DVTown::Search);
  Search(search_->text());
  search_->setFocus();
}

const TownList& DVTown::List() const { return model_->List(); }

std::string DVTown::SelectedKey() const {
  const int row = CurrentRow();
  return row < 0 ? std::string() : List().row(static_cast<size_t>(row)).key;
}

std::string DVTown::SearchText() const { return ToCp1251(search_->text()); }

std::string DVTown::CounterText() const { return List().Counter(CurrentRow()); }

void DVTown::Search(const QString& text) {
  const int row = List().FindTyped(ToCp1251(text));
  // A text no town begins with leaves the selection where it was.
  if (row >= 0) SelectRow(row);
}

void DVTown::ShowCountry(const CountryRow& country) {
  model_->SetList(TownList::OfCountry(towns_, country.name));
  SelectRow(0);
  Search(search_->text());
}

void DVTown::Command(int id) {
  if (id != kCmdTownCountry) {
    DiCnt::Command(id);
    return;
  }
  if (const auto country = ChooseCountry(this, towns_, last_country_)) ShowCountry(*country);
  search_->setFocus();
}

void DVTown::CurrentRowChanged(int row) {
  counter_->setText(QString::fromStdString(List().Counter(row)));
  correction_->clear();
  note_->clear();
  db::FieldArray town;
  if (row < 0 || !db::ReadWithScript(towns_, List().row(static_cast<size_t>(row)).key, town).ok())
    return;
  const double c = QuietZoneCorrection(jd_local_, town, summer_, table_);
  correction_->setText(FromCp1251(FormatKey("TwCorr", FormatDateTime(jd_local_), FormatFixed(c, 2))));
  if (ClocksChangedOn(jd_local_, town, table_)) note_->setText(TextQ("ClkCh"));
}

}  // namespace kv::towns
