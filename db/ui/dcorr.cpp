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
#include "common/ui/form_rows.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

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

  FormRows form(this);

  QHBoxLayout* name = FormRows::Fields();
  name->addWidget(Edit(kIdCardName));
  form.Add("Имя", name);

  QPushButton* calendar = AddButton(kCmdCalendar, QString::fromLatin1("..."));
  form.Add("Дата", form.DateFields(moment[0], moment[1], moment[2], calendar));
  form.Add("Время местное", form.TimeFields(moment[3], moment[4], moment[5]));

  QHBoxLayout* corr = FormRows::Fields();
  correction->setFixedWidth(EditWidth(this, 9));
  corr->addWidget(correction);
  corr->addStretch(1);
  form.Add("Поправка (час)", corr);

  form.AddPlaceRows(Edit(kIdTown), TownsButton(), Edit(kIdLatitude), Edit(kIdLongitude));

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
  form.Column()->addLayout(bottom);

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
