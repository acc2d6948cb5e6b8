// The dialog base: buttons from "OCH" and their geometry, F1 and Esc in every
// control, the option-flag blocks, "Сегодня", the town chooser hook, the calendar
// commands, and the locale-free number reading of the edits.
#include <QApplication>
#include <QBoxLayout>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "common/calendar.h"
#include "common/tests/russian_locale.h"
#include "common/ui/dial.h"
#include "common/ui/dkalend.h"
#include "common/ui/tests/test_texts.h"

namespace kv {

// A dialog with six date and time edits, a correction edit and two date-text edits.
class TestDial : public Dial {
 public:
  explicit TestDial(int flags) : Dial(nullptr, 4242, "TestHelp", flags, 77) {
    auto* layout = new QVBoxLayout(this);
    std::vector<QLineEdit*> edits;
    for (int i = 0; i < 6; ++i) {
      edits.push_back(AddEdit(5001 + i, 4));
      layout->addWidget(edits.back());
    }
    correction = AddEdit(5010, 9);
    text1 = AddEdit(6001, 20);
    text2 = AddEdit(6002, 20);
    plain = new QLineEdit(this);  // made without RegisterControl
    for (QWidget* w : {static_cast<QWidget*>(correction), static_cast<QWidget*>(text1),
                       static_cast<QWidget*>(text2), static_cast<QWidget*>(plain)})
      layout->addWidget(w);
    if (ButtonBox()) layout->addWidget(ButtonBox());
    SetDateTimeEdits(edits, correction);
    SetDateTextEdit(0, text1);
    SetDateTextEdit(1, text2);
  }
  void SetDate(const char* d, const char* m, const char* y, const char* h, const char* mi,
               const char* s) {
    const char* v[6] = {d, m, y, h, mi, s};
    for (int i = 0; i < 6; ++i) SetEditText(5001 + i, v[i]);
  }
  double Jd() const { return DateTimeJulianDay(); }
  int changes = 0;
  QLineEdit* correction;
  QLineEdit* text1;
  QLineEdit* text2;
  QLineEdit* plain;

 protected:
  void DateTimeChanged() override { ++changes; }
};

static DateTimeRecord g_seen;
static bool AcceptTwelfthOfMay(QWidget*, DateTimeRecord& d) {
  g_seen = d;
  d.day = 12;
  d.month = 5;
  d.year = 1971;
  d.hour = 0;
  d.minute = 0;
  return true;
}
static bool RefuseCalendar(QWidget*, DateTimeRecord& d) {
  g_seen = d;
  d.day = 1;  // must not reach the edits
  return false;
}

class DialTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { test::InstallTestTexts(); }

  void buttonsTakeTheirLabelsFromOch() {
    TestDial d(kDialButtonsRow);
    QCOMPARE(d.ControlAs<QPushButton>(kCmdOk)->text(), QString::fromUtf8("Принять"));
    QCOMPARE(d.ControlAs<QPushButton>(kCmdCancel)->text(), QString::fromUtf8("Отменить"));
    QCOMPARE(d.ControlAs<QPushButton>(kCmdHelp)->text(), QString::fromUtf8("Справка"));
    QVERIFY(d.ControlAs<QPushButton>(kCmdOk)->isDefault());
    QCOMPARE(d.Control(kIdButtonBox)->objectName(), QString("7001"));
  }

  void buttonRectsInRowAndColumn() {
    const auto row = DialButtonRects(QRect(0, 0, 300, 100), true);
    QCOMPARE(row[0], QRect(6, 30, 86, 70));
    QCOMPARE(row[1], QRect(102, 30, 86, 70));
    QCOMPARE(row[2], QRect(198, 30, 86, 70));
    const auto col = DialButtonRects(QRect(10, 20, 100, 300), false);
    QCOMPARE(col[0], QRect(20, 50, 80, 58));
    QCOMPARE(col[1], QRect(20, 134, 80, 58));
    QCOMPARE(col[2], QRect(20, 218, 80, 58));
  }

  void laidOutButtonsDoNotOverlap() {
    for (int flags : {int(kDialButtonsRow), int(kDialButtonsColumn)}) {
      TestDial d(flags);
      d.show();
      QVERIFY(QTest::qWaitForWindowExposed(&d));
      const QRect ok = d.Control(kCmdOk)->geometry();
      const QRect cancel = d.Control(kCmdCancel)->geometry();
      const QRect help = d.Control(kCmdHelp)->geometry();
      QVERIFY(!ok.intersects(cancel) && !cancel.intersects(help));
      QVERIFY(d.Control(kIdButtonBox)->rect().contains(help));
      QVERIFY(ok.width() >= d.Control(kCmdOk)->minimumSizeHint().width());
    }
  }

  void f1InEveryControlAsksForHelp() {
    TestDial d(kDialButtonsRow);
    std::string opened;
    HelpOpener old = SetHelpOpener([&](QWidget*, const std::string& key) { opened = key; });
    QSignalSpy spy(&d, &Dial::HelpRequested);
    d.show();
    for (QWidget* w : {static_cast<QWidget*>(d.correction), static_cast<QWidget*>(d.plain),
                       d.Control(kCmdCancel)}) {
      w->setFocus();
      QTest::keyClick(w, Qt::Key_F1);
    }
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(0).at(0).toString(), QString("TestHelp"));
    QCOMPARE(opened, std::string("TestHelp"));
    QVERIFY(d.isVisible());
    SetHelpOpener(std::move(old));
  }

  void escInAnEditIsCancel() {
    TestDial d(kDialButtonsRow);
    d.show();
    QTest::keyClick(d.plain, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), kCmdCancel);
    TestDial e(kDialButtonsRow);
    e.show();
    e.reject();  // the window's close box
    QCOMPARE(e.result(), kCmdCancel);
  }

  void okAndCancelButtonsCloseWithTheirCommand() {
    TestDial d(kDialButtonsRow);
    d.show();
    d.ControlAs<QPushButton>(kCmdOk)->click();
    QCOMPARE(d.result(), kCmdOk);
    QTimer::singleShot(0, [&] { d.ControlAs<QPushButton>(kCmdCancel)->click(); });
    QCOMPARE(RunDialog(d), kCmdCancel);
  }

  void helpKeyIsCut() {
    Dial d(nullptr, 1, "abcdefghijklmnopqrstuvwxyz", 0);
    QCOMPARE(d.HelpKey(), std::string("abcdefghijklmnopqrs"));
  }

  void flagBlocks() {
    Dial none(nullptr, 1, "k", 0);
    QVERIFY(!none.Control(kIdTown) && !none.Control(kIdButtonBox) && !none.Control(kIdListBox));
    Dial d(nullptr, 1, "k", kDialPlaceBlock | kDialNumber | kDialPrompt | kDialListBox, 77);
    QCOMPARE(d.ControlAs<QLineEdit>(kIdTown)->maxLength(), 29);
    QCOMPARE(d.ControlAs<QLineEdit>(kIdLatitude)->maxLength(), 9);
    QCOMPARE(d.ControlAs<QLineEdit>(kIdLongitude)->maxLength(), 9);
    QCOMPARE(d.ControlAs<QPushButton>(kCmdTowns)->text(), QString::fromUtf8("Города..."));
    auto* number = d.ControlAs<QSpinBox>(kIdNumber);
    QVERIFY(number);
    QCOMPARE(number->minimum(), 0);
    QCOMPARE(number->maximum(), 3000);
    QCOMPARE(d.Number(), 77);
    QVERIFY(d.ControlAs<QLabel>(kIdNumberLabel));
    d.SetPrompt("Question?");
    QCOMPARE(d.ControlAs<QLabel>(kIdPrompt)->text(), QString("Question?"));
    Dial big(nullptr, 1, "k", kDialNumber, 5000);
    QCOMPARE(big.Number(), 3000);
  }

  void listDoubleClickSendsTheDefaultCommand() {
    Dial d(nullptr, 1, "k", kDialListBox);
    auto* list = d.ControlAs<QListWidget>(kIdListBox);
    list->addItem("one");
    d.show();
    emit list->itemDoubleClicked(list->item(0));
    QCOMPARE(d.result(), kCmdOk);
    Dial c(nullptr, 1, "k", kDialListBox);
    c.SetDefaultCommand(kCmdCancel);
    c.show();
    auto* l2 = c.ControlAs<QListWidget>(kIdListBox);
    l2->addItem("one");
    emit l2->itemDoubleClicked(l2->item(0));
    QCOMPARE(c.result(), kCmdCancel);
  }

  void todayFillsDateAndTime() {
    TestDial d(0);
    const QDate before = QDate::currentDate();
    d.Command(kCmdToday);
    const QDate after = QDate::currentDate();
    const QDate shown(d.EditText(5003).empty() ? 0 : std::stoi(d.EditText(5003)),
                      std::stoi(d.EditText(5002)), std::stoi(d.EditText(5001)));
    QVERIFY(shown == before || shown == after);
    QCOMPARE(d.EditText(5001).size(), size_t(2));
    QCOMPARE(d.EditText(5002).size(), size_t(2));
    QCOMPARE(d.EditText(5003).size(), size_t(4));
    for (int id : {5004, 5005, 5006}) QCOMPARE(d.EditText(id).size(), size_t(2));
    const QTime shown_time(std::stoi(d.EditText(5004)), std::stoi(d.EditText(5005)),
                           std::stoi(d.EditText(5006)));
    QVERIFY(std::abs(shown_time.secsTo(QTime::currentTime())) < 5 ||
            std::abs(shown_time.secsTo(QTime::currentTime())) > 86390);
    QCOMPARE(d.changes, 1);
  }

  void dateEditsGiveTheLocalJulianDay() {
    TestDial d(0);
    d.SetDate("01", "01", "2000", "12", "00", "00");
    QCOMPARE(d.Jd(), 2451545.0);
    d.SetDate("", "x", "2000", "", "", "");  // unreadable reads 0, nothing refused
    QVERIFY(std::isfinite(d.Jd()));
    Dial none(nullptr, 1, "k", 0);
    QCOMPARE(ReadEditInt(""), 0);
  }

  void townsWithoutChooserShowNoab() {
    TestDial d(kDialPlaceBlock);
    TownChooser old = SetTownChooser(nullptr);
    test::LastWarning().clear();
    d.SetEditText(kIdTown, "Keep");
    d.Command(kCmdTowns);
    QCOMPARE(test::LastWarning(), test::LookupTestText("Noab"));
    QCOMPARE(d.EditText(kIdTown), std::string("Keep"));
    QCOMPARE(d.changes, 0);
    SetTownChooser(std::move(old));
  }

  void townChooserGetsTheMomentAndFillsThePlace() {
    TestDial d(kDialPlaceBlock);
    d.SetDate("01", "01", "2000", "12", "00", "00");
    TownRequest seen;
    TownChooser old = SetTownChooser([&](QWidget*, TownRequest& r) {
      seen = r;
      r.place = std::string(40, 'N');
      r.lat_packed = 55.45;
      r.lon_packed = -7.5;
      r.correction_h = -3;
      r.has_correction = true;
      return true;
    });
    d.Command(kCmdTowns);
    QCOMPARE(seen.jd_local, 2451545.0);
    QVERIFY(seen.summer_time);
    QCOMPARE(d.EditText(kIdTown), std::string(29, 'N'));
    QCOMPARE(d.EditText(kIdLatitude), std::string(" 55.45"));
    QCOMPARE(d.EditText(kIdLongitude), std::string(" -7.50"));
    QCOMPARE(d.EditText(5010), std::string("-3.000"));
    QCOMPARE(d.changes, 1);
    // A chooser closed without a choice changes nothing.
    SetTownChooser([](QWidget*, TownRequest& r) {
      r.place = "Other";
      return false;
    });
    d.Command(kCmdTowns);
    QCOMPARE(d.EditText(kIdTown), std::string(29, 'N'));
    QCOMPARE(d.changes, 1);
    SetTownChooser(std::move(old));
  }

  void chooserNoteStandsBesideTheCorrectionUntilTheMomentChanges() {
    TestDial d(kDialPlaceBlock);
    d.SetDate("27", "03", "1983", "12", "00", "00");
    TownChooser old = SetTownChooser([](QWidget*, TownRequest& r) {
      r.correction_h = -4;
      r.has_correction = true;
      r.note = "Check";
      return true;
    });
    d.show();
    d.Command(kCmdTowns);
    auto* note = d.findChild<QLabel*>(QStringLiteral("CorrectionNote"));
    QVERIFY(note);
    QVERIFY(note->isVisible());
    QCOMPARE(note->text(), QString("Check"));
    // Beside the correction edit: in its layout, right after it.
    auto* box = qobject_cast<QBoxLayout*>(d.layout());
    QCOMPARE(box->indexOf(note), box->indexOf(d.correction) + 1);
    d.SetEditText(5001, "28");
    QVERIFY(!note->isVisible());
    QVERIFY(d.correction->toolTip().isEmpty());
    // Chosen again, then the correction typed over: the note goes too.
    d.Command(kCmdTowns);
    QVERIFY(note->isVisible());
    d.correction->setText("-3");
    QVERIFY(!note->isVisible());
    // A choice without a note clears the one before.
    d.Command(kCmdTowns);
    SetTownChooser([](QWidget*, TownRequest& r) {
      r.has_correction = true;
      return true;
    });
    d.Command(kCmdTowns);
    QVERIFY(!note->isVisible());
    SetTownChooser(std::move(old));
  }

  void calendarForTheDateEdits() {
    TestDial d(0);
    d.SetDate("3", "4", "1969", "7", "8", "9");
    CalendarRunner old = SetCalendarRunner(&RefuseCalendar);
    d.Command(kCmdCalendar);
    QCOMPARE(g_seen.day, 3);
    QCOMPARE(g_seen.month, 4);
    QCOMPARE(g_seen.year, 1969);
    QCOMPARE(g_seen.second, 9);
    QCOMPARE(d.EditText(5001), std::string("3"));
    QCOMPARE(d.changes, 0);
    SetCalendarRunner(&AcceptTwelfthOfMay);
    d.Command(kCmdCalendar);
    const char* want[6] = {"12", "05", "1971", "00", "00", "09"};
    for (int i = 0; i < 6; ++i) QCOMPARE(d.EditText(5001 + i), std::string(want[i]));
    QCOMPARE(d.changes, 1);
    SetCalendarRunner(old);
  }

  void calendarForADateText() {
    TestDial d(0);
    d.text1->setText("05.03.1999 14:30");
    d.text2->setText("not a date");
    CalendarRunner old = SetCalendarRunner(&AcceptTwelfthOfMay);
    d.Command(kCmdCalendarText1);
    QCOMPARE(g_seen.day, 5);
    QCOMPARE(g_seen.month, 3);
    QCOMPARE(g_seen.year, 1999);
    QCOMPARE(g_seen.hour, 14);
    QCOMPARE(g_seen.minute, 30);
    QCOMPARE(d.text1->text(), QString("12.05.1971"));  // no time part at 0:00
    d.Command(kCmdCalendarText2);
    QCOMPARE(g_seen.year, QDate::currentDate().year());  // unreadable text: today
    QCOMPARE(d.text2->text(), QString("12.05.1971"));
    SetCalendarRunner([](QWidget*, DateTimeRecord& c) {
      c.hour = 0;
      c.minute = 7;
      return true;
    });
    d.Command(kCmdCalendarText1);
    QCOMPARE(d.text1->text(), QString("12.05.1971 00:07"));
    SetCalendarRunner(old);
  }

  void focusLeavingAControlIsReported() {
    struct Watch : TestDial {
      Watch() : TestDial(0) {}
      std::vector<int> left;
      void ControlLeft(int id) override { left.push_back(id); }
    } d;
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.activateWindow();
    d.correction->setFocus();
    QApplication::processEvents();
    d.text1->setFocus();
    QApplication::processEvents();
    QVERIFY(std::find(d.left.begin(), d.left.end(), 5010) != d.left.end());
  }

  void editNumbersIgnoreTheLocale() {
    testing::RussianLocale ru;
    QVERIFY2(ru.error().empty(), ru.error().c_str());
    QCOMPARE(ReadEditInt("  12abc"), 12);
    QCOMPARE(ReadEditInt("-3"), -3);
    QCOMPARE(ReadEditInt("+7"), 7);
    QCOMPARE(ReadEditInt("abc"), 0);
    QCOMPARE(ReadEditInt("   "), 0);
    QCOMPARE(ReadEditInt("99999999999"), 0);
    QCOMPARE(ReadEditNumber("-3"), -3.0);
    QCOMPARE(ReadEditNumber(" 55.45"), 55.45);
    QCOMPARE(ReadEditNumber("55,45"), 55.45);
    QCOMPARE(ReadEditNumber("1.5.6"), 1.5);
    QCOMPARE(ReadEditNumber("-"), 0.0);
    QCOMPARE(ReadEditNumber(""), 0.0);
    QCOMPARE(FormatFixed(55.45, 2, 6), std::string(" 55.45"));
    QCOMPARE(FormatFixed(-3, 3), std::string("-3.000"));
    QCOMPARE(FormatFixed(123.456, 2, 6), std::string("123.46"));
    QCOMPARE(FormatFixed(-1234.5, 2, 6), std::string("-1234.50"));
    QCOMPARE(FormatPadded(7), std::string("07"));
    QCOMPARE(FormatPadded(7, 4), std::string("0007"));
    QCOMPARE(FormatPadded(-7, 4), std::string("-007"));
  }

  // Registered once more under LANG=ru_RU.UTF-8: the Qt application object has then
  // put the C library into the users' locale, and the run must not silently be "C".
  void runsInTheLocaleItWasRegisteredFor() {
    if (qEnvironmentVariableIsSet("KV_REQUIRE_DECIMAL_COMMA"))
      QVERIFY2(testing::DecimalCommaInForce(), "ru_RU.UTF-8 is missing (scripts/setup.sh)");
  }

  void placeBlockNumbersKeepTheirPointInTheUsersLocale() {
    testing::RussianLocale ru;
    QVERIFY2(ru.error().empty(), ru.error().c_str());
    TownRequest seen;
    TownChooser old = SetTownChooser([&seen](QWidget*, TownRequest& r) {
      seen = r;
      r.lat_packed = -33.52;
      r.lon_packed = 286.00;
      r.correction_h = -4.5;
      r.has_correction = true;
      return true;
    });
    TestDial d(kDialPlaceBlock);
    d.SetEditText(kIdLatitude, "55.45");
    d.SetEditText(kIdLongitude, "37,37");
    d.Command(kCmdTowns);
    SetTownChooser(old);
    QCOMPARE(seen.lat_packed, 55.45);
    QCOMPARE(seen.lon_packed, 37.37);
    QCOMPARE(d.EditText(kIdLatitude), std::string("-33.52"));
    QCOMPARE(d.EditText(kIdLongitude), std::string("286.00"));
    QCOMPARE(d.correction->text(), QString("-4.500"));
  }
};

}  // namespace kv

QTEST_MAIN(kv::DialTest)
#include "dial_test.moc"
