// The calendar: weekday columns, the month and year arithmetic, the
// hit test, and the widget's clicks and keys.
#include <QApplication>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "common/codepage.h"
#include "common/tests/russian_locale.h"
#include "common/ui/dkalend.h"
#include "common/ui/tests/test_texts.h"

namespace kv {

class DKalendTest : public QObject {
  Q_OBJECT
 private:
  // Centre of the cell of a day in a shown calendar.
  static QPoint DayPoint(const DKalend& k, int day) {
    const GridCell c = DayCell(day, FirstDayColumn(k.Date().month, k.Date().year));
    return k.CellRect(c.row, c.column).center();
  }

 private slots:
  void initTestCase() { test::InstallTestTexts(); }

  // Registered once more under LANG=ru_RU.UTF-8; that run must not silently be "C".
  void runsInTheLocaleItWasRegisteredFor() {
    if (qEnvironmentVariableIsSet("KV_REQUIRE_DECIMAL_COMMA"))
      QVERIFY2(testing::DecimalCommaInForce(), "ru_RU.UTF-8 is missing (scripts/setup.sh)");
  }

  void shownFebruaryHasItsDaysAndNoMore() {
    for (auto [year, days] : {std::pair{2000, 29}, {1900, 28}, {4000, 28}}) {
      DKalend k(nullptr, DateTimeRecord{1, 2, year, 0, 0, 0});
      const int first = FirstDayColumn(2, year);
      const GridCell last = DayCell(days, first);
      const QPoint in = k.CellRect(last.row, last.column).center();
      CalendarHit hit = CalendarHitTest(in.x(), in.y(), k.width(), k.height(), 2, year);
      QCOMPARE(int(hit.kind), int(CalendarHit::kDay));
      QCOMPARE(hit.value, days);
      // The cell after the last day is blank, whether it is in the same row or the next.
      const GridCell after = DayCell(days + 1, first);
      const QPoint out = k.CellRect(after.row, after.column).center();
      hit = CalendarHitTest(out.x(), out.y(), k.width(), k.height(), 2, year);
      QCOMPARE(int(hit.kind), int(CalendarHit::kNothing));
    }
  }

  void firstDayGoesIntoItsWeekdayColumn() {
    QCOMPARE(FirstDayColumn(1, 2000), 5);   // Saturday
    QCOMPARE(FirstDayColumn(9, 2025), 0);   // Monday
    QCOMPARE(FirstDayColumn(10, 1582), 0);  // Monday, still in the Julian calendar
    QCOMPARE(FirstDayColumn(11, 1582), 0);  // Monday again: 4 October was followed by 15
    QCOMPARE(FirstDayColumn(12, 1582), 2);  // Wednesday
    const GridCell c = DayCell(1, 5);
    QCOMPARE(c.row, 1);
    QCOMPARE(c.column, 5);
    const GridCell last = DayCell(31, 6);  // the longest month starting on a Sunday
    QCOMPARE(last.row, 6);
    QCOMPARE(last.column, 1);
  }

  void monthStepsCrossTheYear() {
    DateTimeRecord d{15, 1, 1999, 0, 0, 0};
    CalendarAction(2, d);
    QCOMPARE(d.month, 12);
    QCOMPARE(d.year, 1998);
    CalendarAction(4, d);
    QCOMPARE(d.month, 1);
    QCOMPARE(d.year, 1999);
    CalendarAction(3, d);  // the middle column does nothing
    QCOMPARE(d.month, 1);
    QCOMPARE(d.year, 1999);
  }

  void yearStepsSkipYearZero() {
    DateTimeRecord d{1, 6, 1, 0, 0, 0};
    CalendarAction(1, d);
    QCOMPARE(d.year, -1);
    CalendarAction(5, d);
    QCOMPARE(d.year, 1);
    d.year = -5;
    CalendarAction(6, d);
    QCOMPARE(d.year, 6);
    CalendarAction(0, d);
    QCOMPARE(d.year, -5);
    d = {15, 12, -1, 0, 0, 0};
    CalendarAction(4, d);
    QCOMPARE(d.year, 1);
    QCOMPARE(d.month, 1);
  }

  void dayIsKeptWithinTheNewMonth() {
    DateTimeRecord d{31, 1, 2001, 0, 0, 0};
    CalendarAction(4, d);
    QCOMPARE(d.day, 28);
    d = {29, 2, 2000, 0, 0, 0};
    CalendarAction(5, d);
    QCOMPARE(d.day, 28);
    QCOMPARE(d.year, 2001);
  }

  void unreadableNumbersBecomeAShowableDate() {
    const DateTimeRecord d = NormalizeCalendarDate(DateTimeRecord{0, 0, 0, 99, -4, 7});
    QCOMPARE(d.day, 1);
    QCOMPARE(d.month, 1);
    QCOMPARE(d.year, 1);
    QCOMPARE(d.hour, 23);
    QCOMPARE(d.minute, 0);
    QCOMPARE(d.second, 7);
    QCOMPARE(NormalizeCalendarDate(DateTimeRecord{31, 4, 2023, 0, 0, 0}).day, 30);
  }

  void hitTestRows() {
    const int w = 300, h = 333;  // cells of 42 x 37
    CalendarHit hit = CalendarHitTest(10, 10, w, h, 2, 2000);  // day names
    QCOMPARE(int(hit.kind), int(CalendarHit::kNothing));
    hit = CalendarHitTest(42 * 6 + 5, 37 * 7 + 5, w, h, 2, 2000);
    QCOMPARE(int(hit.kind), int(CalendarHit::kAction));
    QCOMPARE(hit.value, 6);
    hit = CalendarHitTest(5, 37 * 8 + 5, w, h, 2, 2000);  // hour and minute row
    QCOMPARE(int(hit.kind), int(CalendarHit::kNothing));
    hit = CalendarHitTest(299, 5, w, h, 2, 2000);  // the strip right of the last column
    QCOMPARE(int(hit.kind), int(CalendarHit::kNothing));
    hit = CalendarHitTest(-1, 40, w, h, 2, 2000);
    QCOMPARE(int(hit.kind), int(CalendarHit::kNothing));
    // 1 February 2000 was a Tuesday: row 1, column 1.
    hit = CalendarHitTest(42 + 5, 37 + 5, w, h, 2, 2000);
    QCOMPARE(int(hit.kind), int(CalendarHit::kDay));
    QCOMPARE(hit.value, 1);
  }

  void captionShowsMonthAndYear() {
    DKalend k(nullptr, DateTimeRecord{3, 2, 2000, 0, 0, 0});
    QCOMPARE(k.Caption(), QString::fromUtf8(" Февраль 2000"));
    QCOMPARE(k.windowTitle(), k.Caption());
    DKalend early(nullptr, DateTimeRecord{3, 7, 988, 0, 0, 0});
    QCOMPARE(early.Caption(), QString::fromUtf8(" Июль 0988"));
  }

  void singleClickSelectsSecondClickAccepts() {
    DKalend k(nullptr, DateTimeRecord{10, 5, 2010, 7, 45, 30});
    k.show();
    QVERIFY(QTest::qWaitForWindowExposed(&k));
    QTest::mouseClick(&k, Qt::LeftButton, {}, DayPoint(k, 20));
    QVERIFY(k.isVisible());
    QVERIFY(!k.Accepted());
    QCOMPARE(k.Date().day, 20);
    auto* hour = k.findChild<QSpinBox*>("201");
    auto* minute = k.findChild<QSpinBox*>("203");
    QVERIFY(hour && minute);
    QCOMPARE(hour->value(), 7);
    QCOMPARE(hour->maximum(), 23);
    QCOMPARE(minute->maximum(), 59);
    hour->setValue(18);
    minute->setValue(5);
    QTest::mouseClick(&k, Qt::LeftButton, {}, DayPoint(k, 20));
    QVERIFY(k.Accepted());
    QVERIFY(!k.isVisible());
    QCOMPARE(k.Date().day, 20);
    QCOMPARE(k.Date().hour, 18);
    QCOMPARE(k.Date().minute, 5);
    QCOMPARE(k.Date().second, 30);
  }

  void actionRowClicksRedrawTheMonth() {
    DKalend k(nullptr, DateTimeRecord{10, 1, 1999, 0, 0, 0});
    k.show();
    QTest::mouseClick(&k, Qt::LeftButton, {}, k.CellRect(kCalendarActionRow, 2).center());
    QCOMPARE(k.Date().month, 12);
    QCOMPARE(k.Date().year, 1998);
    QCOMPARE(k.windowTitle(), QString::fromUtf8(" Декабрь 1998"));
    QTest::mouseClick(&k, Qt::LeftButton, {}, k.CellRect(kCalendarActionRow, 6).center());
    QCOMPARE(k.Date().year, 2008);
    QVERIFY(k.isVisible());
  }

  void keysActEvenInTheTimeEdits() {
    DKalend k(nullptr, DateTimeRecord{10, 1, 1999, 0, 0, 0});
    k.show();
    auto* hour = k.findChild<QSpinBox*>("201");
    hour->setFocus();
    QTest::keyClick(hour, Qt::Key_PageUp);
    QCOMPARE(k.Date().month, 12);
    QCOMPARE(k.Date().year, 1998);
    QCOMPARE(hour->value(), 0);  // not a step of the spin box
    QTest::keyClick(hour, Qt::Key_PageDown);
    QCOMPARE(k.Date().month, 1);
    QCOMPARE(k.Date().year, 1999);
    QTest::keyClick(&k, Qt::Key_F1);
    QCOMPARE(k.Date().year, 1989);
    QTest::keyClick(hour, Qt::Key_Escape);
    QVERIFY(!k.isVisible());
    QVERIFY(!k.Accepted());
  }

  void calendarFunctionUpdatesOnlyWhenAccepted() {
    DateTimeRecord d{10, 1, 1999, 3, 4, 5};
    QTimer::singleShot(0, [] {
      auto* k = qobject_cast<DKalend*>(QApplication::activeModalWidget());
      if (k) QTest::keyClick(k, Qt::Key_Escape);
    });
    QVERIFY(!Calendar(nullptr, d));
    QCOMPARE(d.day, 10);
    QCOMPARE(d.year, 1999);
    QTimer::singleShot(0, [] {
      auto* k = qobject_cast<DKalend*>(QApplication::activeModalWidget());
      if (!k) return;
      QTest::keyClick(k, Qt::Key_PageDown);
      k->ClickAt(DayPoint(*k, 10));
    });
    QVERIFY(Calendar(nullptr, d));
    QCOMPARE(d.month, 2);
    QCOMPARE(d.day, 10);
    QCOMPARE(d.hour, 3);
    QCOMPARE(d.second, 5);
  }

  void placedBelowAndRightOfItsParent() {
    QWidget parent;
    parent.setGeometry(100, 100, 600, 500);
    parent.show();
    DKalend k(&parent, DateTimeRecord{});
    QCOMPARE(k.size(), QSize(300, 333));
    QCOMPARE(k.pos(), parent.mapToGlobal(QPoint(120, 160)));
  }
};

}  // namespace kv

QTEST_MAIN(kv::DKalendTest)
#include "dkalend_test.moc"
