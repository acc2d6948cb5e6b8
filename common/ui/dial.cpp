#include "common/ui/dial.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDate>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTime>
#include <algorithm>
#include <climits>

#include "common/calendar.h"
#include "common/messages.h"
#include "common/tokens.h"
#include "common/ui/dkalend.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

std::string& TextFace() {
  static std::string face = "Day New";
  return face;
}

// Group box 7001: the three buttons sit where DialButtonRects puts them, whatever
// size the dialog's layout gives the box.
class ButtonFrame : public QWidget {
 public:
  ButtonFrame(QWidget* parent, bool in_row) : QWidget(parent), in_row_(in_row) {}
  void SetButtons(std::array<QPushButton*, 3> b) { buttons_ = b; }

  QSize minimumSizeHint() const override {
    int bw = 0, bh = 0;
    for (QPushButton* b : buttons_) {
      bw = std::max(bw, b->sizeHint().width() + 12);
      bh = std::max(bh, b->sizeHint().height() + 2);
    }
    if (in_row_) return {static_cast<int>(bw / 0.288) + 1, static_cast<int>(bh / 0.7) + 1};
    const int slot = static_cast<int>(bh / 0.7) + 1;
    return {static_cast<int>(bw / 0.8) + 1, static_cast<int>(slot / 0.28) + 1};
  }
  QSize sizeHint() const override { return minimumSizeHint(); }

 protected:
  void resizeEvent(QResizeEvent*) override {
    const std::array<QRect, 3> r = DialButtonRects(rect(), in_row_);
    for (int i = 0; i < 3; ++i) buttons_[i]->setGeometry(r[i]);
  }

 private:
  bool in_row_;
  std::array<QPushButton*, 3> buttons_{};
};

// The box layout, at any depth under `layout`, that holds w; its index in *index.
QBoxLayout* BoxHolding(QLayout* layout, QWidget* w, int* index) {
  if (!layout) return nullptr;
  const int i = layout->indexOf(w);
  if (i >= 0) {
    *index = i;
    return qobject_cast<QBoxLayout*>(layout);
  }
  for (int k = 0; k < layout->count(); ++k) {
    if (QBoxLayout* box = BoxHolding(layout->itemAt(k)->layout(), w, index)) return box;
  }
  return nullptr;
}

bool InLayout(QLayout* layout, QWidget* w) {
  if (!layout) return false;
  if (layout->indexOf(w) >= 0) return true;
  for (int k = 0; k < layout->count(); ++k)
    if (InLayout(layout->itemAt(k)->layout(), w)) return true;
  return false;
}

}  // namespace

std::array<QRect, 3> DialButtonRects(const QRect& r, bool in_row) {
  std::array<QRect, 3> out;
  for (int i = 0; i < 3; ++i) {
    if (in_row) {
      const double slot = 0.32 * r.width();
      out[i] = QRect(static_cast<int>(r.left() + 0.02 * r.width() + i * slot),
                     static_cast<int>(r.top() + 0.3 * r.height()),
                     static_cast<int>(0.9 * slot), static_cast<int>(0.7 * r.height()));
    } else {
      const double slot = 0.28 * r.height();
      out[i] = QRect(static_cast<int>(r.left() + 0.1 * r.width()),
                     static_cast<int>(r.top() + 0.1 * r.height() + i * slot),
                     static_cast<int>(0.8 * r.width()), static_cast<int>(0.7 * slot));
    }
  }
  return out;
}

int ReadEditInt(std::string_view text) {
  const long long value = LeadingInteger(text);
  return value < INT_MIN || value > INT_MAX ? 0 : static_cast<int>(value);
}

double ReadEditNumber(std::string_view text) {
  size_t i = text.find_first_not_of(" \t");
  if (i == std::string_view::npos) return 0;
  std::string s;
  if (text[i] == '-' || text[i] == '+') s += text[i++];
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      s += c;
    } else if ((c == '.' || c == ',') && !point) {
      // A comma is the decimal separator Russian keyboards offer; "55,45" means 55.45.
      s += '.';
      point = true;
    } else {
      break;
    }
  }
  return ParseDouble(s).value_or(0);
}

std::string FormatPadded(int value, int digits) { return FormatInteger(value, digits, true); }

void SetDialogTextFace(const std::string& face) { TextFace() = face; }
const std::string& DialogTextFace() { return TextFace(); }

Dial::Dial(QWidget* parent, int resource_id, std::string help_key, int flags, int initial_number)
    : QDialog(parent),
      resource_id_(resource_id),
      help_key_(help_key.substr(0, kMaxHelpKey)),
      flags_(flags),
      previous_active_(QApplication::activeWindow()),
      previous_focus_(QApplication::focusWidget()) {
  setObjectName(QString("Dial%1").arg(resource_id));
  setModal(true);
  installEventFilter(this);  // F1 and Esc also when no control has the focus
  BuildFlagBlocks(initial_number);
}

Dial::~Dial() = default;

void Dial::BuildFlagBlocks(int initial_number) {
  if (flags_ & kDialPlaceBlock) {
    AddEdit(kIdTown, 29);
    AddEdit(kIdLatitude, 9);
    AddEdit(kIdLongitude, 9);
    towns_button_ = AddButton(kCmdTowns, QString::fromUtf8("Города..."));
  }
  if (flags_ & kDialNumber) {
    number_ = new QSpinBox(this);
    number_->setRange(0, 3000);
    number_->setValue(std::clamp(initial_number, 0, 3000));
    RegisterControl(kIdNumber, number_);
    controls_[kIdNumberUpDown] = number_;  // the edit and its up-down are one control here
    auto* label = new QLabel(this);
    RegisterControl(kIdNumberLabel, label);
  }
  if (flags_ & (kDialButtonsRow | kDialButtonsColumn)) {
    auto* frame = new ButtonFrame(this, (flags_ & kDialButtonsRow) != 0);
    RegisterControl(kIdButtonBox, frame);
    std::vector<std::string> labels = Split(Text("OCH"), '/');
    const char* fallback[3] = {"OK", "Cancel", "Help"};
    const int ids[3] = {kCmdOk, kCmdCancel, kCmdHelp};
    std::array<QPushButton*, 3> buttons{};
    for (int i = 0; i < 3; ++i) {
      const QString text = i < static_cast<int>(labels.size()) ? FromCp1251(labels[i])
                                                               : QString::fromLatin1(fallback[i]);
      buttons[i] = new QPushButton(text, frame);
      buttons[i]->setObjectName(QString::number(ids[i]));
      buttons[i]->setAutoDefault(i == 0);
      if (i == 0) buttons[i]->setDefault(true);
      controls_[ids[i]] = buttons[i];
      buttons[i]->installEventFilter(this);
      const int id = ids[i];
      connect(buttons[i], &QPushButton::clicked, this, [this, id] { Command(id); });
    }
    frame->SetButtons(buttons);
    button_box_ = frame;
  }
  if (flags_ & kDialPrompt) {
    prompt_ = new QLabel(this);
    prompt_->setWordWrap(true);
    RegisterControl(kIdPrompt, prompt_);
  }
  if (flags_ & kDialListBox) {
    list_ = new QListWidget(this);
    RegisterControl(kIdListBox, list_);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { Command(default_command_); });
  }
}

QWidget* Dial::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

std::string Dial::EditText(int id) const {
  if (auto* e = ControlAs<QLineEdit>(id)) return ToCp1251(e->text());
  return {};
}

void Dial::SetEditText(int id, std::string_view text) {
  if (auto* e = ControlAs<QLineEdit>(id)) e->setText(FromCp1251(text));
}

int Dial::Number() const { return number_ ? number_->value() : 0; }

void Dial::SetPrompt(const QString& text) {
  if (prompt_) prompt_->setText(text);
}

void Dial::RegisterControl(int id, QWidget* control) {
  control->setObjectName(QString::number(id));
  controls_[id] = control;
  control->installEventFilter(this);
}

QLineEdit* Dial::AddEdit(int id, int max_chars) {
  auto* e = new QLineEdit(this);
  e->setMaxLength(max_chars);
  RegisterControl(id, e);
  return e;
}

QPushButton* Dial::AddButton(int id, const QString& text) {
  auto* b = new QPushButton(text, this);
  b->setAutoDefault(false);
  RegisterControl(id, b);
  connect(b, &QPushButton::clicked, this, [this, id] { Command(id); });
  return b;
}

void Dial::SetDateTimeEdits(std::vector<QLineEdit*> edits, QLineEdit* correction) {
  date_edits_ = std::move(edits);
  correction_edit_ = correction;
}

void Dial::SetDateTextEdit(int which, QLineEdit* edit) {
  if (which == 0 || which == 1) date_text_edits_[static_cast<size_t>(which)] = edit;
}

double Dial::DateTimeJulianDay() const {
  if (date_edits_.size() < 3) return 2451545.0;
  int n[6] = {0, 0, 0, 0, 0, 0};
  for (size_t i = 0; i < date_edits_.size() && i < 6; ++i)
    n[i] = ReadEditInt(ToCp1251(date_edits_[i]->text()));
  return DateToJulianDay(DateTimeRecord{n[0], n[1], n[2], n[3], n[4], n[5]});
}

void Dial::FillToday() {
  if (date_edits_.size() < 3) return;
  const QDate d = QDate::currentDate();
  const QTime t = QTime::currentTime();
  date_edits_[0]->setText(QString::fromStdString(FormatPadded(d.day())));
  date_edits_[1]->setText(QString::fromStdString(FormatPadded(d.month())));
  date_edits_[2]->setText(QString::fromStdString(FormatPadded(d.year(), 4)));
  if (date_edits_.size() >= 6) {
    date_edits_[3]->setText(QString::fromStdString(FormatPadded(t.hour())));
    date_edits_[4]->setText(QString::fromStdString(FormatPadded(t.minute())));
    date_edits_[5]->setText(QString::fromStdString(FormatPadded(t.second())));
  }
}

void Dial::Command(int id) {
  switch (id) {
    case kCmdOk:
      if (CanClose()) done(kCmdOk);
      break;
    case kCmdCancel:
      done(kCmdCancel);
      break;
    case kCmdHelp:
      emit HelpRequested(FromCp1251(help_key_));
      OpenHelp(this, help_key_);
      break;
    case kCmdTowns:
      ChooseTown();
      break;
    case kCmdToday:
      FillToday();
      DateTimeChanged();
      break;
    case kCmdCalendar:
      CalendarForEdits();
      break;
    case kCmdCalendarText1:
    case kCmdCalendarText2:
      CalendarForText(date_text_edits_[id == kCmdCalendarText1 ? 0 : 1]);
      break;
    default:
      break;
  }
}

void Dial::ChooseTown() {
  const TownChooser& choose = CurrentTownChooser();
  if (!choose) {
    WarningKey("Noab");
    return;
  }
  TownRequest request;
  request.jd_local = DateTimeJulianDay();
  request.summer_time = summer_time_;
  request.place = EditText(kIdTown);
  request.lat_packed = ReadEditNumber(EditText(kIdLatitude));
  request.lon_packed = ReadEditNumber(EditText(kIdLongitude));
  if (correction_edit_) request.correction_h = ReadEditNumber(ToCp1251(correction_edit_->text()));
  if (!choose(this, request)) return;
  SetEditText(kIdTown, request.place.substr(0, 29));
  SetEditText(kIdLatitude, FormatFixed(request.lat_packed, 2, 6));
  SetEditText(kIdLongitude, FormatFixed(request.lon_packed, 2, 6));
  if (correction_edit_ && request.has_correction)
    correction_edit_->setText(QString::fromStdString(FormatFixed(request.correction_h, 3)));
  ShowCorrectionNote(request.has_correction ? request.note : std::string());
  DateTimeChanged();
}

QLabel* Dial::CorrectionNote() {
  if (!correction_note_) {
    correction_note_ = new QLabel(this);
    correction_note_->setObjectName(QStringLiteral("CorrectionNote"));
    correction_note_->setWordWrap(true);
    correction_note_->setStyleSheet(QStringLiteral("color: #a00000"));
    correction_note_->hide();
    // The note holds for the moment it was made for.
    for (QLineEdit* e : date_edits_)
      connect(e, &QLineEdit::textChanged, this, [this] { ShowCorrectionNote({}); });
    if (correction_edit_)
      connect(correction_edit_, &QLineEdit::textChanged, this, [this] { ShowCorrectionNote({}); });
  }
  return correction_note_;
}

void Dial::ShowCorrectionNote(const std::string& note) {
  if (!correction_edit_ || (!correction_note_ && note.empty())) return;
  QLabel* label = CorrectionNote();
  if (!note.empty() && !InLayout(layout(), label)) {
    int index = 0;
    if (QBoxLayout* box = BoxHolding(layout(), correction_edit_, &index))
      box->insertWidget(index + 1, label, 1);
    else if (layout())
      layout()->addWidget(label);
  }
  label->setText(FromCp1251(note));
  label->setVisible(!note.empty());
  correction_edit_->setToolTip(FromCp1251(note));
}

void Dial::CalendarForEdits() {
  if (date_edits_.size() < 3) return;
  int n[6] = {0, 0, 0, 0, 0, 0};
  for (size_t i = 0; i < date_edits_.size() && i < 6; ++i)
    n[i] = ReadEditInt(ToCp1251(date_edits_[i]->text()));
  DateTimeRecord d{n[0], n[1], n[2], n[3], n[4], n[5]};
  if (!Calendar(this, d)) return;
  const int out[6] = {d.day, d.month, d.year, d.hour, d.minute, d.second};
  for (size_t i = 0; i < date_edits_.size() && i < 6; ++i)
    date_edits_[i]->setText(QString::fromStdString(FormatPadded(out[i])));
  DateTimeChanged();
}

void Dial::CalendarForText(QLineEdit* edit) {
  if (!edit) return;
  double jd = ParseDateTime(ToCp1251(edit->text()), false);
  if (jd < 0) {
    // An unreadable text opens the calendar on today rather than in 4713 BC.
    const QDate today = QDate::currentDate();
    jd = DateToJulianDayAt0h(today.day(), today.month(), today.year());
  }
  DateTimeRecord d = JulianDayToDate(jd);
  if (!Calendar(this, d)) return;
  std::string text = FormatPadded(d.day) + "." + FormatPadded(d.month) + "." + FormatPadded(d.year, 4);
  if (d.hour != 0 || d.minute != 0) text += " " + FormatPadded(d.hour) + ":" + FormatPadded(d.minute);
  edit->setText(QString::fromStdString(text));
  DateTimeChanged();
}

bool Dial::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_F1) {
      Command(kCmdHelp);
      return true;
    }
    if (key == Qt::Key_Escape) {
      Command(kCmdCancel);
      return true;
    }
  } else if (e->type() == QEvent::FocusOut) {
    for (const auto& [id, w] : controls_) {
      if (w == watched) {
        ControlLeft(id);
        break;
      }
    }
  }
  return QDialog::eventFilter(watched, e);
}

void Dial::WatchChildren() {
  // Controls a derived dialog made without RegisterControl (labels aside) keep the
  // same F1 and Esc.
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

void Dial::showEvent(QShowEvent* e) {
  WatchChildren();
  QDialog::showEvent(e);
}

void Dial::done(int result) {
  // QDialog's own reject (the close box) comes here with 0: that is Cancel.
  if (result == QDialog::Rejected) result = kCmdCancel;
  QDialog::done(result);
  if (previous_active_) QApplication::alert(previous_active_, 1);
  if (previous_focus_) previous_focus_->setFocus();
}

int RunDialog(Dial& dialog) { return dialog.exec(); }

}  // namespace kv
