// The two-column form of the birth-data and card dialogs: a caption on the left and a
// row of fields on the right, dates as day-month-year with the calendar button and
// times as hours:minutes:seconds.
#pragma once

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace kv {

// Room for n characters of the widest digit, plus the edit's frame.
int EditWidth(const QWidget* w, int chars);
QLabel* FormLabel(const char* utf8, QWidget* parent);

class FormRows {
 public:
  // Lays out `owner` as a column whose first part is the grid of rows.
  explicit FormRows(QWidget* owner);

  QVBoxLayout* Column() const { return column_; }
  QGridLayout* Grid() const { return grid_; }
  // The next row of the grid, for a widget placed by hand.
  int TakeRow() { return row_++; }
  void Add(const char* caption, QLayout* fields);

  // An empty row of fields, 4 pixels apart.
  static QHBoxLayout* Fields();
  QHBoxLayout* DateFields(QLineEdit* day, QLineEdit* month, QLineEdit* year,
                          QPushButton* calendar) const;
  QHBoxLayout* TimeFields(QLineEdit* hours, QLineEdit* minutes, QLineEdit* seconds) const;
  // The rows "Город" (the town and its chooser button) and "Широта" (latitude and
  // longitude).
  void AddPlaceRows(QLineEdit* town, QPushButton* towns, QLineEdit* latitude,
                    QLineEdit* longitude);

 private:
  QLabel* Separator(const char* text) const;

  QWidget* owner_;
  QVBoxLayout* column_;
  QGridLayout* grid_;
  int row_ = 0;
};

}  // namespace kv
