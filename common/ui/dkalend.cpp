#include "common/ui/dkalend.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSpinBox>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/calendar.h"
#include "common/messages.h"
#include "common/tokens.h"
#include "common/ui/dial.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

const QColor kSelectedDay(125, 208, 210);
CalendarRunner g_runner = nullptr;

// Historical years have no year 0: go through astronomical numbering.
int AddYears(int year, int delta) {
  int astro = year < 0 ? year + 1 : year;
  astro += delta;
  return astro <= 0 ? astro - 1 : astro;
}

std::string ListItem(std::string_view key, size_t index) {
  std::vector<std::string> items = Split(Text(key), '/');
  return index < items.size() ? items[index] : std::string();
}

}  // namespace

int FirstDayColumn(int month, int year) {
  const double jd0 = DateToJulianDayAt0h(1, month, year);
  const long n = static_cast<long>(std::floor(jd0 + 0.5));
  return static_cast<int>(((n % 7) + 7) % 7);
}

GridCell DayCell(int day, int first_column) {
  const int index = first_column + day - 1;
  return {1 + index / kCalendarColumns, index % kCalendarColumns};
}

DateTimeRecord NormalizeCalendarDate(DateTimeRecord d) {
  if (d.year == 0) d.year = 1;
  d.month = std::clamp(d.month, 1, 12);
  d.day = std::clamp(d.day, 1, DaysInMonth(d.month, d.year));
  d.hour = std::clamp(d.hour, 0, 23);
  d.minute = std::clamp(d.minute, 0, 59);
  return d;
}

void CalendarAction(int column, DateTimeRecord& d) {
  switch (column) {
    case 0: d.year = AddYears(d.year, -10); break;
    case 1: d.year = AddYears(d.year, -1); break;
    case 2:
      if (--d.month < 1) {
        d.month = 12;
        d.year = AddYears(d.year, -1);
      }
      break;
    case 4:
      if (++d.month > 12) {
        d.month = 1;
        d.year = AddYears(d.year, 1);
      }
      break;
    case 5: d.year = AddYears(d.year, 1); break;
    case 6: d.year = AddYears(d.year, 10); break;
    default: return;
  }
  // 31 January one month on is not 31 February.
  d.day = std::min(d.day, DaysInMonth(d.month, d.year));
}

CalendarHit CalendarHitTest(int x, int y, int client_width, int client_height, int month,
                            int year) {
  const int cw = client_width / kCalendarColumns;
  const int ch = client_height / kCalendarRows;
  CalendarHit hit;
  if (cw <= 0 || ch <= 0 || x < 0 || y < 0) return hit;
  const int column = x / cw;
  const int row = y / ch;
  if (column >= kCalendarColumns || row >= kCalendarRows) return hit;
  if (row == kCalendarActionRow) return {CalendarHit::kAction, column};
  if (row >= 1 && row <= 6) {
    const int day = (row - 1) * kCalendarColumns + column - FirstDayColumn(month, year) + 1;
    if (day >= 1 && day <= DaysInMonth(month, year)) return {CalendarHit::kDay, day};
  }
  return hit;
}

DKalend::DKalend(QWidget* parent, const DateTimeRecord& date)
    : QDialog(parent), date_(NormalizeCalendarDate(date)) {
  setObjectName("DKalend");
  setFixedSize(300, 333);
  if (parent) move(parent->mapToGlobal(QPoint(120, 160)));
  setFont(QFont(FromCp1251(DialogTextFace())));

  hour_label_ = new QLabel(QString::fromUtf8("Час"), this);
  minute_label_ = new QLabel(QString::fromUtf8("Мин"), this);
  hour_ = new QSpinBox(this);
  hour_->setObjectName(QString::number(kIdCalendarHour));
  hour_->setRange(0, 23);
  hour_->setValue(date_.hour);
  minute_ = new QSpinBox(this);
  minute_->setObjectName(QString::number(kIdCalendarMinute));
  minute_->setRange(0, 59);
  minute_->setValue(date_.minute);
  for (QSpinBox* s : {hour_, minute_}) {
    s->setAlignment(Qt::AlignRight);
    s->installEventFilter(this);
  }
  for (QLabel* l : {hour_label_, minute_label_}) l->setAlignment(Qt::AlignCenter);
  PlaceTimeRow();
  Refresh();
}

QString DKalend::Caption() const {
  return FromCp1251(" " + ListItem("Mes", static_cast<size_t>(date_.month - 1)) + " " +
                    FormatPadded(date_.year, 4));
}

QRect DKalend::CellRect(int row, int column) const {
  const int cw = width() / kCalendarColumns;
  const int ch = height() / kCalendarRows;
  return QRect(column * cw, row * ch, cw, ch);
}

void DKalend::Refresh() {
  setWindowTitle(Caption());
  update();
}

void DKalend::PlaceTimeRow() {
  const QRect label1 = CellRect(kCalendarTimeRow, 0);
  const QRect spin1 = CellRect(kCalendarTimeRow, 1).united(CellRect(kCalendarTimeRow, 2));
  const QRect label2 = CellRect(kCalendarTimeRow, 4);
  const QRect spin2 = CellRect(kCalendarTimeRow, 5).united(CellRect(kCalendarTimeRow, 6));
  hour_label_->setGeometry(label1);
  minute_label_->setGeometry(label2);
  hour_->setGeometry(spin1.adjusted(2, 4, -2, -4));
  minute_->setGeometry(spin2.adjusted(2, 4, -2, -4));
}

void DKalend::resizeEvent(QResizeEvent*) { PlaceTimeRow(); }

void DKalend::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor background = palette().color(QPalette::Window);
  p.fillRect(rect(), background);
  const int ch = height() / kCalendarRows;
  QFont f = font();
  f.setPixelSize(std::max(6, ch / 2));
  p.setFont(f);
  const QColor line = palette().color(QPalette::Mid);
  const QColor text = palette().color(QPalette::WindowText);

  auto label_cell = [&](int row, int column, const std::string& label, bool bold) {
    const QRect r = CellRect(row, column);
    QFont lf = f;
    lf.setBold(bold);
    // Labels such as "Г+10" must fit their cell: shrink the face until they do.
    const QString t = FromCp1251(label);
    while (lf.pixelSize() > 6 && QFontMetrics(lf).horizontalAdvance(t) > r.width() - 4)
      lf.setPixelSize(lf.pixelSize() - 1);
    p.setFont(lf);
    p.setPen(text);
    p.drawText(r, Qt::AlignCenter, t);
    p.setFont(f);
  };

  // Row 0: the day names, Monday first, on a light band.
  const QRect names = CellRect(0, 0).united(CellRect(0, kCalendarColumns - 1));
  p.fillRect(names, palette().color(QPalette::AlternateBase));
  for (int c = 0; c < kCalendarColumns; ++c)
    label_cell(0, c, ListItem("DND", static_cast<size_t>(c)), c >= 5);

  // Rows 1..6: the days.
  const int first = FirstDayColumn(date_.month, date_.year);
  const int days = DaysInMonth(date_.month, date_.year);
  for (int day = 1; day <= days; ++day) {
    const GridCell cell = DayCell(day, first);
    const QRect r = CellRect(cell.row, cell.column);
    p.fillRect(r.adjusted(1, 1, 0, 0), day == date_.day ? kSelectedDay : background);
    p.setPen(text);
    p.drawText(QPoint(r.left() + r.width() / 3, r.top() + r.height() / 3 + p.fontMetrics().ascent()),
               QString::fromStdString(FormatInteger(day, 2)));
  }

  // Row 7: the actions, drawn as a button band.
  const QRect actions =
      CellRect(kCalendarActionRow, 0).united(CellRect(kCalendarActionRow, kCalendarColumns - 1));
  p.fillRect(actions, palette().color(QPalette::Button));
  // One size for the whole action row, the largest at which every label fits.
  QFont action_font = f;
  for (int c = 0; c < kCalendarColumns; ++c) {
    const QString t = FromCp1251(ListItem("ActK", static_cast<size_t>(c)));
    const int room = CellRect(kCalendarActionRow, c).width() - 6;
    while (action_font.pixelSize() > 6 && QFontMetrics(action_font).horizontalAdvance(t) > room)
      action_font.setPixelSize(action_font.pixelSize() - 1);
  }
  p.setFont(action_font);
  for (int c = 0; c < kCalendarColumns; ++c)
    p.drawText(CellRect(kCalendarActionRow, c), Qt::AlignCenter,
               FromCp1251(ListItem("ActK", static_cast<size_t>(c))));
  p.setFont(f);

  // Grid lines over the day rows and the action row.
  p.setPen(line);
  const int right = CellRect(0, kCalendarColumns - 1).right();
  for (int r = 1; r <= kCalendarTimeRow; ++r) {
    const int y = CellRect(r, 0).top();
    p.drawLine(0, y, right, y);
  }
  for (int c = 1; c < kCalendarColumns; ++c) {
    const int x = CellRect(0, c).left();
    p.drawLine(x, CellRect(1, 0).top(), x, CellRect(6, 0).bottom());
    p.drawLine(x, CellRect(kCalendarActionRow, 0).top(), x, CellRect(kCalendarActionRow, 0).bottom());
  }
}

void DKalend::ClickAt(const QPoint& pt) {
  const CalendarHit hit = CalendarHitTest(pt.x(), pt.y(), width(), height(), date_.month, date_.year);
  if (hit.kind == CalendarHit::kAction) {
    Act(hit.value);
  } else if (hit.kind == CalendarHit::kDay) {
    if (hit.value == date_.day) {
      date_.hour = hour_->value();
      date_.minute = minute_->value();
      accepted_ = true;
      accept();
      return;
    }
    date_.day = hit.value;
    update();
  }
}

void DKalend::Act(int column) {
  CalendarAction(column, date_);
  Refresh();
}

void DKalend::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) ClickAt(e->position().toPoint());
}

bool DKalend::HandleKey(int key) {
  switch (key) {
    case Qt::Key_Escape: reject(); return true;
    case Qt::Key_PageUp: Act(2); return true;
    case Qt::Key_PageDown: Act(4); return true;
    case Qt::Key_F1: Act(0); return true;
    default: return false;
  }
}

void DKalend::keyPressEvent(QKeyEvent* e) {
  if (!HandleKey(e->key())) QDialog::keyPressEvent(e);
}

bool DKalend::eventFilter(QObject* watched, QEvent* e) {
  // The spin boxes would take Page Up and Page Down as steps of ten.
  if (e->type() == QEvent::KeyPress) return HandleKey(static_cast<QKeyEvent*>(e)->key());
  return QDialog::eventFilter(watched, e);
}

CalendarRunner SetCalendarRunner(CalendarRunner runner) {
  CalendarRunner old = g_runner;
  g_runner = runner;
  return old;
}

bool Calendar(QWidget* parent, DateTimeRecord& date) {
  if (g_runner) return g_runner(parent, date);
  DKalend k(parent, date);
  k.exec();
  if (!k.Accepted()) return false;
  const DateTimeRecord& r = k.Date();
  date.day = r.day;
  date.month = r.month;
  date.year = r.year;
  date.hour = r.hour;
  date.minute = r.minute;
  return true;
}

}  // namespace kv
