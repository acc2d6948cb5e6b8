#include "db/ui/dcorr.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/messages.h"
#include "common/tokens.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

QLabel* Label(const char* utf8, QWidget* parent) { return new QLabel(QString::fromUtf8(utf8), parent); }

// Room for n characters of the widest digit, plus the edit's frame.
int EditWidth(const QWidget* w, int chars) {
  return w->fontMetrics().horizontalAdvance(QString(chars, QChar('0'))) + 14;
}

// Item i of the "OCH" button labels.
QString ButtonLabel(size_t i, const char* fallback) {
  const std::vector<std::string> labels = Split(Text("OCH"), '/');
  return i < labels.size() ? FromCp1251(labels[i]) : QString::fromUtf8(fallback);
}

}  // namespace

DCorr::DCorr(QWidget* parent, const db::FieldArray& card, SaveStep save)
    : Dial(parent, kCardDialogResource, kHelpCard, kDialPlaceBlock),
      card_(card),
      save_(std::move(save)) {
  setWindowTitle(QString::fromUtf8(" Карточка из базы данных"));
  BuildLayout();
  SetEdits(cards::EditsFromCard(card_));
}

QLineEdit* DCorr::Edit(int id) const { return ControlAs<QLineEdit>(id); }

void DCorr::BuildLayout() {
  // The controls in the order of the transfer buffer: the place block exists already.
  AddEdit(kIdCardName, 29);
  std::vector<QLineEdit*> moment;
  for (int i = 0; i < 6; ++i) moment.push_back(AddEdit(kIdCardDay + i, 4));
  QLineEdit* correction = AddEdit(kIdCardCorrection, 9);
  SetDateTimeEdits(moment, correction);

  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(14, 12, 14, 10);
  top->setSpacing(8);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(6);
  grid->setColumnStretch(1, 1);
  top->addLayout(grid);
  int row = 0;
  auto add_row = [&](const char* label, QLayout* fields) {
    grid->addWidget(Label(label, this), row, 0);
    grid->addLayout(fields, row, 1);
    ++row;
  };
  auto fields = [] {
    auto* h = new QHBoxLayout;
    h->setSpacing(4);
    return h;
  };
  auto sep = [this](const char* s) {
    auto* l = Label(s, this);
    l->setAlignment(Qt::AlignCenter);
    return l;
  };

  QHBoxLayout* name = fields();
  name->addWidget(Edit(kIdCardName));
  add_row("Имя", name);

  const int two = EditWidth(this, 3), four = EditWidth(this, 5);
  QHBoxLayout* date = fields();
  for (int i = 0; i < 3; ++i) {
    moment[i]->setFixedWidth(i == 2 ? four : two);
    date->addWidget(moment[i]);
    if (i < 2) date->addWidget(sep("-"));
  }
  QPushButton* calendar = AddButton(kCmdCalendar, QString::fromLatin1("..."));
  calendar->setFixedWidth(EditWidth(this, 2) + 6);
  date->addSpacing(6);
  date->addWidget(calendar);
  date->addStretch(1);
  add_row("Дата", date);

  QHBoxLayout* time = fields();
  for (int i = 3; i < 6; ++i) {
    moment[i]->setFixedWidth(two);
    time->addWidget(moment[i]);
    if (i < 5) time->addWidget(sep(":"));
  }
  time->addStretch(1);
  add_row("Время местное", time);

  QHBoxLayout* corr = fields();
  correction->setFixedWidth(EditWidth(this, 9));
  corr->addWidget(correction);
  corr->addStretch(1);
  add_row("Поправка (час)", corr);

  QHBoxLayout* town = fields();
  town->addWidget(Edit(kIdTown), 1);
  town->addSpacing(6);
  town->addWidget(TownsButton());
  add_row("Город", town);

  QHBoxLayout* coords = fields();
  Edit(kIdLatitude)->setFixedWidth(EditWidth(this, 9));
  Edit(kIdLongitude)->setFixedWidth(EditWidth(this, 9));
  coords->addWidget(Edit(kIdLatitude));
  coords->addSpacing(16);
  coords->addWidget(Label("Долгота", this));
  coords->addSpacing(6);
  coords->addWidget(Edit(kIdLongitude));
  coords->addStretch(1);
  add_row("Широта", coords);

  auto* sex_box = new QGroupBox(QString::fromUtf8("Пол"), this);
  auto* sex_layout = new QHBoxLayout(sex_box);
  sex_layout->setContentsMargins(10, 4, 10, 6);
  sex_ = new QButtonGroup(this);
  auto* male = new QRadioButton(QString::fromUtf8("Муж"), sex_box);
  auto* female = new QRadioButton(QString::fromUtf8("Жен"), sex_box);
  RegisterControl(kIdCardMale, male);
  RegisterControl(kIdCardFemale, female);
  sex_->addButton(male, 0);
  sex_->addButton(female, 1);
  sex_layout->addWidget(male);
  sex_layout->addSpacing(12);
  sex_layout->addWidget(female);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(sex_box);
  bottom->addStretch(1);
  QPushButton* save = AddButton(kCmdOk, QString::fromUtf8("&Записать"));
  save->setDefault(true);
  bottom->addWidget(save, 0, Qt::AlignBottom);
  bottom->addWidget(AddButton(kCmdCancel, ButtonLabel(1, "Отмена")), 0, Qt::AlignBottom);
  bottom->addWidget(AddButton(kCmdHelp, ButtonLabel(2, "Помощь")), 0, Qt::AlignBottom);
  top->addLayout(bottom);

  // Tab runs through the card in reading order; the two helper buttons come last.
  std::vector<QWidget*> chain = {Edit(kIdCardName)};
  chain.insert(chain.end(), moment.begin(), moment.end());
  for (QWidget* w : {static_cast<QWidget*>(correction), Control(kIdTown), Control(kIdLatitude),
                     Control(kIdLongitude), Control(kIdCardMale), Control(kIdCardFemale),
                     Control(kCmdOk), Control(kCmdCancel), Control(kCmdHelp),
                     static_cast<QWidget*>(TownsButton()), static_cast<QWidget*>(calendar)})
    chain.push_back(w);
  for (size_t i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
  Edit(kIdCardName)->setFocus();
}

cards::CardEdits DCorr::Edits() const {
  cards::CardEdits e;
  e.town = EditText(kIdTown);
  e.latitude = EditText(kIdLatitude);
  e.longitude = EditText(kIdLongitude);
  e.name = EditText(kIdCardName);
  for (int i = 0; i < 6; ++i) e.moment[i] = EditText(kIdCardDay + i);
  e.correction = EditText(kIdCardCorrection);
  // The index of the first button that is on; 0 when neither is.
  e.sex = sex_->checkedId() == 1 ? 1 : 0;
  return e;
}

void DCorr::SetEdits(const cards::CardEdits& e) {
  SetEditText(kIdTown, e.town);
  SetEditText(kIdLatitude, e.latitude);
  SetEditText(kIdLongitude, e.longitude);
  SetEditText(kIdCardName, e.name);
  for (int i = 0; i < 6; ++i) SetEditText(kIdCardDay + i, e.moment[i]);
  SetEditText(kIdCardCorrection, e.correction);
  sex_->button(e.sex == 1 ? 1 : 0)->setChecked(true);
}

bool DCorr::CanClose() {
  const cards::CardEdits edits = Edits();
  cards::CardRefusal refusal;
  if (!cards::CheckCardEdits(edits, &refusal)) {
    Warning(Text(refusal.key));
    static constexpr int kControlOfEdit[11] = {
        kIdTown, kIdLatitude, kIdLongitude, kIdCardName, kIdCardDay, kIdCardDay + 1,
        kIdCardDay + 2, kIdCardDay + 3, kIdCardDay + 4, kIdCardDay + 5, kIdCardCorrection};
    if (QLineEdit* e = Edit(kControlOfEdit[refusal.edit])) {
      e->setFocus();
      e->selectAll();
    }
    return false;
  }
  db::FieldArray card = card_;
  cards::ApplyEditsToCard(edits, card);
  if (save_ && !save_(card)) return false;
  card_ = card;
  return true;
}

}  // namespace kv
