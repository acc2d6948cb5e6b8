// DKalend: the small modal calendar in which a date and time are picked. The grid
// has 7 columns and 9 rows: day names, six rows of days, the action row ("ActK":
// year -10, year -1, month -1, -, month +1, year +1, year +10) and the hour and
// minute edits. A click on a day selects it; a second click on the selected day
// accepts.
//
// The month arithmetic and the cell layout are plain functions, tested without a
// window.
#pragma once

#include <QDialog>
#include <QRect>

#include "common/calendar.h"  // DateTimeRecord, DaysInMonth

class QSpinBox;
class QLabel;

namespace kv {

inline constexpr int kCalendarColumns = 7;
inline constexpr int kCalendarRows = 9;
inline constexpr int kCalendarActionRow = 7;
inline constexpr int kCalendarTimeRow = 8;
inline constexpr int kIdCalendarHour = 201;
inline constexpr int kIdCalendarHourUpDown = 202;
inline constexpr int kIdCalendarMinute = 203;
inline constexpr int kIdCalendarMinuteUpDown = 204;

// Column of the month's first day, 0 = Monday.
int FirstDayColumn(int month, int year);
// Grid cell (row 1..6, column 0..6) of a day of the shown month.
struct GridCell {
  int row = 0;
  int column = 0;
};
GridCell DayCell(int day, int first_column);

// The action of a column of row 7 on the shown month (column 3 does nothing). The
// year skips 0 in both directions; the day is kept within the new month.
void CalendarAction(int column, DateTimeRecord& date);
// Brings any numbers into a date the calendar can show (month 1..12, day within the
// month, year not 0, hour 0..23, minute 0..59).
DateTimeRecord NormalizeCalendarDate(DateTimeRecord date);

// What a point of the client area hits: a day of the month, an action column, or
// nothing (blank cells, the day-name and time rows).
struct CalendarHit {
  enum Kind { kNothing, kDay, kAction } kind = kNothing;
  int value = 0;  // the day, or the action column
};
CalendarHit CalendarHitTest(int x, int y, int client_width, int client_height,
                            int month, int year);

class DKalend : public QDialog {
  Q_OBJECT
 public:
  DKalend(QWidget* parent, const DateTimeRecord& date);

  bool Accepted() const { return accepted_; }
  // The shown numbers; after acceptance the result.
  const DateTimeRecord& Date() const { return date_; }
  // The caption " %s %04d" (month name from "Mes", year).
  QString Caption() const;
  QRect CellRect(int row, int column) const;

  // A click at a point of the client area, as the mouse gives it.
  void ClickAt(const QPoint& p);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool HandleKey(int key);
  void Act(int column);
  void Refresh();
  void PlaceTimeRow();

  DateTimeRecord date_;
  bool accepted_ = false;
  QSpinBox* hour_ = nullptr;
  QSpinBox* minute_ = nullptr;
  QLabel* hour_label_ = nullptr;
  QLabel* minute_label_ = nullptr;
};

// Shows the calendar for the six numbers; true and the numbers updated (day, month,
// year, hour, minute) when the user accepted a day.
bool Calendar(QWidget* parent, DateTimeRecord& date);

// Test hook: replaces the modal run of Calendar(); nullptr restores it.
using CalendarRunner = bool (*)(QWidget* parent, DateTimeRecord& date);
CalendarRunner SetCalendarRunner(CalendarRunner runner);

}  // namespace kv
