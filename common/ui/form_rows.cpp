#include "common/ui/form_rows.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

int EditWidth(const QWidget* w, int chars) {
  return w->fontMetrics().horizontalAdvance(QString(chars, QChar('0'))) + 14;
}

QLabel* FormLabel(const char* utf8, QWidget* parent) {
  auto* l = new QLabel(QString::fromUtf8(utf8), parent);
  l->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
  return l;
}

FormRows::FormRows(QWidget* owner)
    : owner_(owner), column_(new QVBoxLayout(owner)), grid_(new QGridLayout) {
  column_->setContentsMargins(14, 12, 14, 10);
  column_->setSpacing(8);
  grid_->setHorizontalSpacing(10);
  grid_->setVerticalSpacing(6);
  grid_->setColumnStretch(1, 1);
  column_->addLayout(grid_);
}

void FormRows::Add(const char* caption, QLayout* fields) {
  grid_->addWidget(FormLabel(caption, owner_), row_, 0);
  grid_->addLayout(fields, row_, 1);
  ++row_;
}

QHBoxLayout* FormRows::Fields() {
  auto* h = new QHBoxLayout;
  h->setSpacing(4);
  return h;
}

QLabel* FormRows::Separator(const char* text) const {
  QLabel* l = FormLabel(text, owner_);
  l->setAlignment(Qt::AlignCenter);
  return l;
}

QHBoxLayout* FormRows::DateFields(QLineEdit* day, QLineEdit* month, QLineEdit* year,
                                  QPushButton* calendar) const {
  const int two = EditWidth(owner_, 3), four = EditWidth(owner_, 5);
  QHBoxLayout* date = Fields();
  day->setFixedWidth(two);
  month->setFixedWidth(two);
  year->setFixedWidth(four);
  date->addWidget(day);
  date->addWidget(Separator("-"));
  date->addWidget(month);
  date->addWidget(Separator("-"));
  date->addWidget(year);
  calendar->setFixedWidth(EditWidth(owner_, 2) + 6);
  date->addSpacing(6);
  date->addWidget(calendar);
  date->addStretch(1);
  return date;
}

QHBoxLayout* FormRows::TimeFields(QLineEdit* hours, QLineEdit* minutes, QLineEdit* seconds) const {
  const int two = EditWidth(owner_, 3);
  QHBoxLayout* time = Fields();
  for (QLineEdit* e : {hours, minutes, seconds}) {
    e->setFixedWidth(two);
    time->addWidget(e);
    if (e != seconds) time->addWidget(Separator(":"));
  }
  time->addStretch(1);
  return time;
}

void FormRows::AddPlaceRows(QLineEdit* town, QPushButton* towns, QLineEdit* latitude,
                            QLineEdit* longitude) {
  QHBoxLayout* place = Fields();
  place->addWidget(town, 1);
  place->addSpacing(6);
  place->addWidget(towns);
  Add("Город", place);

  QHBoxLayout* coords = Fields();
  latitude->setFixedWidth(EditWidth(owner_, 9));
  longitude->setFixedWidth(EditWidth(owner_, 9));
  coords->addWidget(latitude);
  coords->addSpacing(16);
  coords->addWidget(FormLabel("Долгота", owner_));
  coords->addSpacing(6);
  coords->addWidget(longitude);
  coords->addStretch(1);
  Add("Широта", coords);
}

}  // namespace kv
