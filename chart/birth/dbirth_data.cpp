#include "chart/birth/dbirth_data.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/birth_checks.h"
#include "common/calendar.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/ui/form_rows.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

// A short grey explanation beside fields whose form is not obvious.
QLabel* Hint(const char* key, QWidget* parent) {
  auto* l = new QLabel(FromCp1251(Text(key)), parent);
  l->setObjectName(QString::fromLatin1(key));
  l->setWordWrap(true);
  QPalette p = l->palette();
  const QColor text = p.color(QPalette::WindowText), back = p.color(QPalette::Window);
  p.setColor(QPalette::WindowText, QColor((2 * text.red() + back.red()) / 3,
                                          (2 * text.green() + back.green()) / 3,
                                          (2 * text.blue() + back.blue()) / 3));
  l->setPalette(p);
  QFont f = l->font();
  f.setPointSizeF(f.pointSizeF() * 0.9);
  l->setFont(f);
  return l;
}

QFrame* Rule(QWidget* parent) {
  auto* f = new QFrame(parent);
  f->setFrameShape(QFrame::HLine);
  f->setFrameShadow(QFrame::Sunken);
  return f;
}

std::string Field(const CardFields& card, int n) {
  auto it = card.find(n);
  return it == card.end() ? std::string() : it->second;
}

}  // namespace

DBirthData::DBirthData(QWidget* parent, const BirthValues& values, double jd_ut_stored,
                       std::string database)
    : Dial(parent, kBirthDialogResource, kBirthDialogHelp, kDialPlaceBlock | kDialButtonsRow),
      database_(std::move(database)) {
  setWindowTitle(QString::fromUtf8("   Данные пользователя"));
  BuildLayout();
  Fill(values);
  ShowUniversalTime(jd_ut_stored);
}

QLineEdit* DBirthData::Edit(int id) const { return ControlAs<QLineEdit>(id); }

void DBirthData::BuildLayout() {
  AddEdit(kIdName, kNameChars);
  std::vector<QLineEdit*> moment;
  for (int id = kIdDay; id <= kIdSeconds; ++id) moment.push_back(AddEdit(id, 4));
  QLineEdit* correction = AddEdit(kIdCorrection, 9);
  SetDateTimeEdits(moment, correction);
  for (int id : {kIdUtDate, kIdUtTime}) {
    QLineEdit* e = AddEdit(id, 32);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    e->setPalette(p);
  }

  FormRows form(this);
  QGridLayout* grid = form.Grid();

  QHBoxLayout* name = FormRows::Fields();
  name->addWidget(Edit(kIdName));
  form.Add("Имя", name);

  form.Add("Дата", form.DateFields(Edit(kIdDay), Edit(kIdMonth), Edit(kIdYear),
                                   AddButton(kCmdCalendar, QString::fromLatin1("..."))));
  form.Add("Время местное", form.TimeFields(Edit(kIdHours), Edit(kIdMinutes), Edit(kIdSeconds)));

  QHBoxLayout* corr = FormRows::Fields();
  correction->setFixedWidth(EditWidth(this, 9));
  corr->addWidget(correction);
  corr->addSpacing(8);
  corr->addWidget(Hint("HintCorr", this), 1);
  form.Add("Поправка (час)", corr);
  // The town chooser's warning, when there is one.
  grid->addWidget(CorrectionNote(), form.TakeRow(), 1);

  QHBoxLayout* ut = FormRows::Fields();
  Edit(kIdUtDate)->setFixedWidth(EditWidth(this, 11));
  Edit(kIdUtTime)->setFixedWidth(EditWidth(this, 9));
  ut->addWidget(Edit(kIdUtDate));
  ut->addWidget(Edit(kIdUtTime));
  ut->addStretch(1);
  form.Add("(GMT)", ut);

  grid->addWidget(Rule(this), form.TakeRow(), 0, 1, 2);

  form.AddPlaceRows(Edit(kIdTown), TownsButton(), Edit(kIdLatitude), Edit(kIdLongitude));
  grid->addWidget(Hint("HintCoord", this), form.TakeRow(), 1);

  grid->addWidget(Rule(this), form.TakeRow(), 0, 1, 2);

  auto* person = new QHBoxLayout;
  auto* sex_box = new QGroupBox(QString::fromUtf8("Пол"), this);
  RegisterControl(kIdSexGroup, sex_box);
  auto* sex_layout = new QHBoxLayout(sex_box);
  sex_layout->setContentsMargins(10, 4, 10, 6);
  sex_ = new QButtonGroup(this);
  auto* male = new QRadioButton(QString::fromUtf8("Муж"), sex_box);
  auto* female = new QRadioButton(QString::fromUtf8("Жен"), sex_box);
  RegisterControl(kIdMale, male);
  RegisterControl(kIdFemale, female);
  sex_->addButton(male, 0);
  sex_->addButton(female, 1);
  sex_layout->addWidget(male);
  sex_layout->addSpacing(12);
  sex_layout->addWidget(female);
  person->addWidget(sex_box);
  person->addSpacing(18);
  exact_ = new QCheckBox(QString::fromUtf8("Известно точное время"), this);
  RegisterControl(kIdExactTime, exact_);
  person->addWidget(exact_, 0, Qt::AlignVCenter);
  person->addStretch(1);
  form.Column()->addLayout(person);

  auto* bottom = new QHBoxLayout;
  bottom->setSpacing(8);
  auto* side = new QVBoxLayout;
  side->setSpacing(4);
  side->addStretch(1);
  auto* side_row = new QHBoxLayout;
  side_row->addWidget(AddButton(kCmdFromDatabase, QString::fromUtf8("Из Базы...")));
  side_row->addWidget(AddButton(kCmdToday, QString::fromUtf8("Сегодня")));
  side->addLayout(side_row);
  bottom->addLayout(side);
  bottom->addStretch(1);
  bottom->addWidget(ButtonBox());
  form.Column()->addWidget(Rule(this));
  form.Column()->addLayout(bottom);

  setTabOrder(Edit(kIdName), Edit(kIdDay));
  Edit(kIdName)->setFocus();
}

void DBirthData::Fill(const BirthValues& v) {
  SetEditText(kIdName, v.name.substr(0, kNameChars));
  const int n[6] = {v.day, v.month, v.year, v.hour, v.minute, v.second};
  for (int i = 0; i < 6; ++i) SetEditText(kIdDay + i, FormatPadded(n[i]));
  SetEditText(kIdCorrection, FormatFixed(v.correction_h, 3));
  SetEditText(kIdTown, v.place.substr(0, kNameChars));
  SetEditText(kIdLatitude, FormatFixed(v.lat_packed, 2, 6));
  SetEditText(kIdLongitude, FormatFixed(v.lon_packed, 2, 6));
  sex_->button(v.sex == 1 ? 1 : 0)->setChecked(true);
  exact_->setChecked(v.exact_time);
}

std::optional<BirthValues> DBirthData::Values(BirthRefusal* refusal) const {
  auto refuse = [refusal](const char* key, int control) -> std::optional<BirthValues> {
    if (refusal) *refusal = {key, control};
    return std::nullopt;
  };
  const Checked<BirthDate> date =
      CheckDateFields(EditText(kIdDay), EditText(kIdMonth), EditText(kIdYear));
  if (!date.ok()) return refuse(date.error, kIdDay + date.part);
  const Checked<ClockTime> time =
      CheckTimeFields(EditText(kIdHours), EditText(kIdMinutes), EditText(kIdSeconds));
  if (!time.ok()) return refuse(time.error, kIdHours + time.part);
  const Checked<double> correction = CheckCorrection(EditText(kIdCorrection));
  if (!correction.ok()) return refuse(correction.error, kIdCorrection);
  const Checked<double> lat = CheckLatitude(EditText(kIdLatitude));
  if (!lat.ok()) return refuse(lat.error, kIdLatitude);
  const Checked<double> lon = CheckLongitude(EditText(kIdLongitude));
  if (!lon.ok()) return refuse(lon.error, kIdLongitude);
  BirthValues v;
  v.name = EditText(kIdName).substr(0, kNameChars);
  v.day = date.value.day;
  v.month = date.value.month;
  v.year = date.value.year;
  v.hour = time.value.hour;
  v.minute = time.value.minute;
  v.second = time.value.second;
  v.correction_h = correction.value;
  v.place = EditText(kIdTown).substr(0, kNameChars);
  v.lat_packed = lat.value;
  v.lon_packed = lon.value;
  v.sex = sex_->checkedId() == 1 ? 1 : 0;
  v.exact_time = exact_->isChecked();
  return v;
}

bool DBirthData::CanClose() {
  BirthRefusal refusal;
  if (Values(&refusal)) return true;
  Warning(Text(refusal.key));
  if (QLineEdit* e = Edit(refusal.control)) {
    e->setFocus();
    e->selectAll();
  }
  return false;
}

void DBirthData::ShowUniversalTime(double jd_ut) {
  const std::string text = FormatDateTime(jd_ut);
  const size_t blank = text.find(' ');
  SetEditText(kIdUtDate, text.substr(0, blank));
  SetEditText(kIdUtTime, blank == std::string::npos ? std::string() : text.substr(blank + 1));
}

void DBirthData::UpdatePreview() {
  const Checked<BirthDate> d = CheckDateFields(EditText(kIdDay), EditText(kIdMonth), EditText(kIdYear));
  const Checked<ClockTime> t =
      CheckTimeFields(EditText(kIdHours), EditText(kIdMinutes), EditText(kIdSeconds));
  const Checked<double> c = CheckCorrection(EditText(kIdCorrection));
  if (!d.ok() || !t.ok() || !c.ok()) {
    // No moment to show: an empty preview rather than another day's time.
    SetEditText(kIdUtDate, "");
    SetEditText(kIdUtTime, "");
    return;
  }
  const double jd_local = DateToJulianDay(DateTimeRecord{d.value.day, d.value.month, d.value.year,
                                                         t.value.hour, t.value.minute,
                                                         t.value.second});
  ShowUniversalTime(jd_local + c.value / 24.0);
}

void DBirthData::ControlLeft(int id) {
  if ((id >= kIdDay && id <= kIdSeconds) || id == kIdCorrection) UpdatePreview();
}

void DBirthData::Command(int id) {
  if (id == kCmdToday) {
    TakeToday();
  } else if (id == kCmdFromDatabase) {
    TakeFromDatabase();
  } else {
    Dial::Command(id);
  }
}

void DBirthData::TakeToday() {
  FillToday();
  SetEditText(kIdName, W("Сегодня"));
  exact_->setChecked(true);
  UpdatePreview();
}

void DBirthData::TakeFromDatabase() {
  CardFields card;
  const PersonPicker& pick_person = CurrentPersonPicker();
  const PersonPick pick = pick_person ? pick_person(this, database_, card) : PersonPick::kCannotOpen;
  if (pick == PersonPick::kCannotOpen) {
    WarningFormat("NoB%s", database_.c_str());
    return;
  }
  if (pick != PersonPick::kChosen) return;
  ApplyCardToDialog(card, *this);
  UpdatePreview();
}

void ApplyCardToDialog(const CardFields& card, Dial& dialog) {
  dialog.SetEditText(kIdName, Field(card, 2).substr(0, kNameChars));
  const DateTimeRecord d = ParseDateTimeFields(Field(card, 3), Field(card, 4));
  const int n[6] = {d.day, d.month, d.year, d.hour, d.minute, d.second};
  for (int i = 0; i < 6; ++i) dialog.SetEditText(kIdDay + i, FormatPadded(n[i]));
  dialog.SetEditText(kIdCorrection, Field(card, 8).substr(0, 9));
  dialog.SetEditText(kIdTown, Field(card, 7).substr(0, kNameChars));
  dialog.SetEditText(kIdLatitude, Field(card, 5).substr(0, 9));
  dialog.SetEditText(kIdLongitude, Field(card, 6).substr(0, 9));
  // 0 checks "Муж", 1 "Жен"; any other value leaves both off.
  const int sex = ReadEditInt(Field(card, 16));
  auto* male = dialog.ControlAs<QRadioButton>(kIdMale);
  auto* female = dialog.ControlAs<QRadioButton>(kIdFemale);
  if (!male || !female) return;
  if (sex == 0 || sex == 1) {
    (sex == 1 ? female : male)->setChecked(true);
  } else if (QButtonGroup* group = male->group()) {
    group->setExclusive(false);
    male->setChecked(false);
    female->setChecked(false);
    group->setExclusive(true);
  }
}

}  // namespace kv
