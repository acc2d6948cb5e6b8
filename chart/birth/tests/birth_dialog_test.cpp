// The birth-data dialog and command 200: the universal-time preview, "Сегодня",
// limits, the database and town hooks, and what the command changes on Cancel, on
// OK and after a failed calculation.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QDate>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <map>

#include "chart/birth/birth_command.h"
#include "chart/birth/dbirth_data.h"
#include "common/calendar.h"
#include "common/codepage.h"
#include "common/messages.h"

namespace kv {
namespace {

std::string LookupText(std::string_view key) {
  static const std::map<std::string, std::string, std::less<>> table = {
      {"OCH", W("OK/Отмена/Помощь")},
      {"NoB%s", W("Не открывается база данных '%s'.")},
      {"Noab", W("База данных городов недоступна")},
      {"DEp", W("Дата %s вне диапазона эфемерид.")},
      {"ChkLat", W("Широта: градусы.минуты, от -90.00 до 90.00; минуты меньше 60.")},
      {"HintCorr", W("GMT = местное время + поправка (Москва: -3)")},
      {"HintCoord", W("градусы.минуты: 55.45 - это 55°45'")},
  };
  auto it = table.find(key);
  return it == table.end() ? std::string(key) : it->second;
}
std::vector<std::string> g_warnings;
void Capture(const std::string& t) { g_warnings.push_back(t); }

BirthValues Moscow() {
  BirthValues v;
  v.name = W("Иван");
  v.day = 15;
  v.month = 6;
  v.year = 1990;
  v.hour = 12;
  v.place = W("Москва");
  v.lat_packed = 55.45;
  v.lon_packed = 37.37;
  v.sex = 1;
  return v;
}

ChartRecord MoscowRecord() {
  ChartRecord rec = DefaultChartRecord();
  std::array<uint8_t, 80> ov{};
  ApplyBirthValues(Moscow(), 3, rec, ov);
  for (int i = 1; i <= 16; ++i) rec.lon[i] = 10.0 * i;  // positions of an earlier chart
  return rec;
}

std::string Text(const Dial& d, int id) { return d.EditText(id); }

// Leaves an edit as the user does, by giving the focus to another control.
void Leave(DBirthData& d, int id, const char* text) {
  QLineEdit* e = d.ControlAs<QLineEdit>(id);
  e->setFocus();
  QApplication::processEvents();
  e->setText(text);
  d.ControlAs<QLineEdit>(kIdName)->setFocus();
  QApplication::processEvents();
}

}  // namespace

class BirthDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    SetTextLookup(&LookupText);
    SetMessageSink({&Capture, &Capture});
  }
  void init() { g_warnings.clear(); }

  void opensOnTheRecord() {
    ChartRecord rec = MoscowRecord();
    rec.jd_local = DateToJulianDay({15, 6, 1990, 12, 0, 0}) - 0.3 / 86400;  // a hair below
    DBirthData d(nullptr, BirthValuesFromRecord(rec, true), rec.jd_ut, "a");
    QCOMPARE(d.windowTitle(), QString::fromUtf8("   Данные пользователя"));
    QCOMPARE(d.HelpKey(), std::string("VV"));
    QCOMPARE(Text(d, kIdName), W("Иван"));
    const char* want[6] = {"15", "06", "1990", "12", "00", "00"};
    for (int i = 0; i < 6; ++i) QCOMPARE(Text(d, kIdDay + i), std::string(want[i]));
    QCOMPARE(Text(d, kIdCorrection), std::string("0.000"));
    QCOMPARE(Text(d, kIdTown), W("Москва"));
    QCOMPARE(Text(d, kIdLatitude), std::string(" 55.45"));
    QCOMPARE(Text(d, kIdLongitude), std::string(" 37.37"));
    QVERIFY(d.ControlAs<QRadioButton>(kIdFemale)->isChecked());
    QVERIFY(d.ControlAs<QCheckBox>(kIdExactTime)->isChecked());
    QCOMPARE(d.ControlAs<QCheckBox>(kIdExactTime)->text(), QString::fromUtf8("Известно точное время"));
    QCOMPARE(d.ControlAs<QPushButton>(kCmdFromDatabase)->text(), QString::fromUtf8("Из Базы..."));
    QCOMPARE(d.ControlAs<QPushButton>(kCmdToday)->text(), QString::fromUtf8("Сегодня"));
    QCOMPARE(d.ControlAs<QPushButton>(kCmdTowns)->text(), QString::fromUtf8("Города..."));
  }

  void previewShowsTheStoredUniversalTimeFirst() {
    // The stored day need not match the fields (an older record): it is shown as stored.
    DBirthData d(nullptr, Moscow(), DateToJulianDay({1, 1, 2001, 3, 4, 5}), "a");
    QCOMPARE(Text(d, kIdUtDate), std::string("01.01.2001"));
    QCOMPARE(Text(d, kIdUtTime), std::string("03:04:05"));
  }

  void correctionOfMinusThreeMovesTheUniversalTimeEarlier() {
    DBirthData d(nullptr, Moscow(), 0, "a");
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.activateWindow();
    Leave(d, kIdCorrection, "-3");
    QCOMPARE(Text(d, kIdUtDate), std::string("15.06.1990"));
    QCOMPARE(Text(d, kIdUtTime), std::string("09:00:00"));
    // Across midnight, after leaving the hour field.
    Leave(d, kIdHours, "01");
    QCOMPARE(Text(d, kIdUtDate), std::string("14.06.1990"));
    QCOMPARE(Text(d, kIdUtTime), std::string("22:00:00"));
    Leave(d, kIdCorrection, "2,5");
    QCOMPARE(Text(d, kIdUtDate), std::string("15.06.1990"));
    QCOMPARE(Text(d, kIdUtTime), std::string("03:30:00"));
  }

  // What a user can type that is no moment or place: the dialog names the field,
  // stays open with the text as typed and puts the cursor into the field.
  void impossibleInputIsRefusedAndTheDialogStaysOpen() {
    struct Case {
      int id;
      const char* text;
      const char* key;
      int focus;
    };
    const Case cases[] = {
        {kIdDay, "31", "ChkDay", kIdDay},          // 31.06.1990
        {kIdMonth, "13", "ChkDate", kIdMonth},
        {kIdYear, "0", "ChkDate", kIdYear},
        {kIdDay, "x7", "ChkDate", kIdDay},
        {kIdDay, "", "ChkDate", kIdDay},
        {kIdHours, "25", "ChkTime", kIdHours},
        {kIdMinutes, "70", "ChkTime", kIdMinutes},
        {kIdMinutes, "x7", "ChkTime", kIdMinutes},
        {kIdSeconds, "60", "ChkTime", kIdSeconds},
        {kIdCorrection, "abc", "ChkCorr", kIdCorrection},
        {kIdCorrection, "15", "ChkCorr", kIdCorrection},
        {kIdLatitude, "95", "ChkLat", kIdLatitude},
        {kIdLatitude, "89.99", "ChkLat", kIdLatitude},
        {kIdLatitude, "60.60", "ChkLat", kIdLatitude},
        {kIdLatitude, "N55", "ChkLat", kIdLatitude},
        {kIdLongitude, "360", "ChkLon", kIdLongitude},
        {kIdLongitude, "37.75", "ChkLon", kIdLongitude},
    };
    for (const Case& c : cases) {
      g_warnings.clear();
      DBirthData d(nullptr, Moscow(), 0, "a");
      d.show();
      d.SetEditText(c.id, c.text);
      d.Command(kCmdOk);
      QVERIFY2(d.isVisible(), c.text);
      QCOMPARE(d.result(), 0);
      QCOMPARE(g_warnings.size(), size_t(1));
      QCOMPARE(g_warnings[0], LookupText(c.key));
      QCOMPARE(Text(d, c.id), std::string(c.text));
      QCOMPARE(d.focusWidget(), d.Control(c.focus));
      BirthRefusal refusal;
      QVERIFY(!d.Values(&refusal));
      QCOMPARE(std::string(refusal.key), std::string(c.key));
    }
  }

  void daysTheCalendarLacksAreRefused() {
    const struct {
      const char *day, *month, *year, *key;
    } dates[] = {{"31", "02", "2001", "ChkDay"},
                 {"29", "02", "1900", "ChkDay"},
                 {"05", "10", "1582", "ChkGap"},
                 {"14", "10", "1582", "ChkGap"}};
    for (const auto& date : dates) {
      g_warnings.clear();
      DBirthData d(nullptr, Moscow(), 0, "a");
      d.SetEditText(kIdDay, date.day);
      d.SetEditText(kIdMonth, date.month);
      d.SetEditText(kIdYear, date.year);
      d.UpdatePreview();
      // No shifted day in the preview either (31.02.2001 used to show 03.03.2001).
      QCOMPARE(Text(d, kIdUtDate), std::string());
      QCOMPARE(Text(d, kIdUtTime), std::string());
      d.Command(kCmdOk);
      QCOMPARE(d.result(), 0);
      QCOMPARE(g_warnings.size(), size_t(1));
      QCOMPARE(g_warnings[0], std::string(date.key));
    }
  }

  void edgesOfTheCalendarAndThePlaceAreAccepted() {
    const struct {
      const char *day, *month, *year, *lat, *lon, *corr;
      double lat_v, lon_v, corr_v;
    } good[] = {{"29", "02", "1500", "-90.00", "286.00", "2,5", -90.0, 286.0, 2.5},  // Julian leap day
                {"04", "10", "1582", "90", "-180.00", "-14", 90.0, -180.0, -14.0},
                {"15", "10", "1582", "0.59", "359.59", "0", 0.59, 359.59, 0.0},
                {"29", "02", "2000", " 55,45", "37.37", "-3.000", 55.45, 37.37, -3.0}};
    for (const auto& g : good) {
      DBirthData d(nullptr, Moscow(), 0, "a");
      d.SetEditText(kIdDay, g.day);
      d.SetEditText(kIdMonth, g.month);
      d.SetEditText(kIdYear, g.year);
      d.SetEditText(kIdLatitude, g.lat);
      d.SetEditText(kIdLongitude, g.lon);
      d.SetEditText(kIdCorrection, g.corr);
      d.SetEditText(kIdSeconds, "");  // an empty seconds field is 0
      const std::optional<BirthValues> v = d.Values();
      QVERIFY2(v.has_value(), g.year);
      QCOMPARE(v->day, std::atoi(g.day));
      QCOMPARE(v->year, std::atoi(g.year));
      QCOMPARE(v->second, 0);
      QCOMPARE(v->lat_packed, g.lat_v);
      QCOMPARE(v->lon_packed, g.lon_v);
      QCOMPARE(v->correction_h, g.corr_v);
      d.Command(kCmdOk);
      QCOMPARE(d.result(), kCmdOk);
    }
    QVERIFY(g_warnings.empty());
  }

  void hintsExplainThePackedFormAndTheCorrectionSign() {
    DBirthData d(nullptr, Moscow(), 0, "a");
    auto* corr = d.findChild<QLabel*>("HintCorr");
    auto* coord = d.findChild<QLabel*>("HintCoord");
    QVERIFY(corr && coord);
    QCOMPARE(corr->text(), QString::fromUtf8("GMT = местное время + поправка (Москва: -3)"));
    QCOMPARE(coord->text(), QString::fromUtf8("градусы.минуты: 55.45 - это 55°45'"));
  }

  void commandWithARefusedFieldChangesNothing() {
    Settings s;
    ChartRecord startup = DefaultChartRecord();
    ChartRecord working = MoscowRecord();
    const ChartRecord before = working;
    bool calculated = false;
    BirthCommandSteps steps;
    // A dialog closed with OK without its own check (as a test can) still gives nothing.
    steps.run_dialog = [](DBirthData& d) {
      d.SetEditText(kIdDay, "31");
      d.SetEditText(kIdMonth, "02");
      return kCmdOk;
    };
    steps.calculate = [&](ChartRecord&, const ChartRecord&) { calculated = true; return 0; };
    steps.open_window = [](const ChartRecord&) {};
    QCOMPARE(int(RunBirthDataCommand(nullptr, working, startup, s, steps)), int(BirthCommandResult::kRefused));
    QVERIFY(!calculated);
    QVERIFY(std::memcmp(&working, &before, sizeof working) == 0);
  }

  void limits() {
    DBirthData d(nullptr, Moscow(), 0, "a");
    const std::pair<int, int> limits[] = {{kIdName, 29},  {kIdDay, 4},        {kIdMonth, 4},
                                          {kIdYear, 4},   {kIdHours, 4},      {kIdMinutes, 4},
                                          {kIdSeconds, 4}, {kIdCorrection, 9}, {kIdTown, 29},
                                          {kIdLatitude, 9}, {kIdLongitude, 9}};
    for (auto [id, n] : limits) QCOMPARE(d.ControlAs<QLineEdit>(id)->maxLength(), n);
    d.show();
    QLineEdit* name = d.ControlAs<QLineEdit>(kIdName);
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, QString(40, QChar('Z')));
    QCOMPARE(d.Values()->name, std::string(29, 'Z'));
    QVERIFY(d.ControlAs<QLineEdit>(kIdUtDate)->isReadOnly());
    QVERIFY(d.ControlAs<QLineEdit>(kIdUtTime)->isReadOnly());
  }

  void todayTakesThePresentMoment() {
    BirthValues v = Moscow();
    v.exact_time = false;
    DBirthData d(nullptr, v, 0, "a");
    const QDate before = QDate::currentDate();
    d.Command(kCmdToday);
    QCOMPARE(Text(d, kIdName), W("Сегодня"));
    QVERIFY(d.ControlAs<QCheckBox>(kIdExactTime)->isChecked());
    const BirthValues now = *d.Values();
    const QDate shown(now.year, now.month, now.day);
    QVERIFY(shown == before || shown == QDate::currentDate());
    QCOMPARE(Text(d, kIdYear).size(), size_t(4));
    QCOMPARE(Text(d, kIdSeconds).size(), size_t(2));
    // The preview follows: local time plus the correction still in its field.
    d.SetEditText(kIdCorrection, "-3");
    d.UpdatePreview();
    const double jd = DateToJulianDay({now.day, now.month, now.year, now.hour, now.minute, now.second});
    QCOMPARE(Text(d, kIdUtDate) + " " + Text(d, kIdUtTime), FormatDateTime(jd - 0.125));
    // The place is not touched.
    QCOMPARE(Text(d, kIdTown), W("Москва"));
  }

  void f1InAnEditOpensTheDialogsHelp() {
    DBirthData d(nullptr, Moscow(), 0, "a");
    QSignalSpy spy(&d, &Dial::HelpRequested);
    d.show();
    QLineEdit* year = d.ControlAs<QLineEdit>(kIdYear);
    year->setFocus();
    QTest::keyClick(year, Qt::Key_F1);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString("VV"));
    QTest::keyClick(d.ControlAs<QLineEdit>(kIdCorrection), Qt::Key_Escape);
    QCOMPARE(d.result(), kCmdCancel);
  }

  void fromDatabaseWithoutDatabaseShowsNoB() {
    PersonPicker old = SetPersonPicker(nullptr);
    DBirthData d(nullptr, Moscow(), 0, "persons");
    d.Command(kCmdFromDatabase);
    QCOMPARE(g_warnings.size(), size_t(1));
    QCOMPARE(g_warnings[0], W("Не открывается база данных 'persons'."));
    QCOMPARE(Text(d, kIdName), W("Иван"));
    SetPersonPicker([](QWidget*, const std::string&, CardFields&) { return PersonPick::kCannotOpen; });
    d.Command(kCmdFromDatabase);
    QCOMPARE(g_warnings.size(), size_t(2));
    SetPersonPicker(std::move(old));
  }

  void fromDatabaseTakesTheCard() {
    std::string asked;
    PersonPicker old = SetPersonPicker([&](QWidget*, const std::string& db, CardFields& card) {
      asked = db;
      card[2] = W("Пётр");
      card[3] = "7.11.1917";
      card[4] = "22:40";
      card[8] = "-2.5";
      card[7] = W("Петроград");
      card[5] = "59.57";
      card[6] = "30.19";
      card[16] = "0";
      return PersonPick::kChosen;
    });
    DBirthData d(nullptr, Moscow(), 0, "persons");
    d.Command(kCmdFromDatabase);
    QCOMPARE(asked, std::string("persons"));
    QCOMPARE(Text(d, kIdName), W("Пётр"));
    const char* want[6] = {"07", "11", "1917", "22", "40", "00"};
    for (int i = 0; i < 6; ++i) QCOMPARE(Text(d, kIdDay + i), std::string(want[i]));
    QCOMPARE(Text(d, kIdCorrection), std::string("-2.5"));
    QCOMPARE(Text(d, kIdTown), W("Петроград"));
    QCOMPARE(Text(d, kIdLatitude), std::string("59.57"));
    QVERIFY(d.ControlAs<QRadioButton>(kIdMale)->isChecked());
    QCOMPARE(Text(d, kIdUtDate), std::string("07.11.1917"));
    QCOMPARE(Text(d, kIdUtTime), std::string("20:10:00"));
    // A card without fields empties the texts; the list closed without OK changes nothing.
    SetPersonPicker([](QWidget*, const std::string&, CardFields& card) {
      card[2] = "X";
      return PersonPick::kNotChosen;
    });
    d.Command(kCmdFromDatabase);
    QCOMPARE(Text(d, kIdName), W("Пётр"));
    SetPersonPicker([](QWidget*, const std::string&, CardFields& card) {
      card[16] = "1";
      return PersonPick::kChosen;
    });
    d.Command(kCmdFromDatabase);
    QCOMPARE(Text(d, kIdName), std::string());
    QCOMPARE(Text(d, kIdTown), std::string());
    QVERIFY(d.ControlAs<QRadioButton>(kIdFemale)->isChecked());
    // Field 16 holding 2 checks neither button; 0 checks "Муж" again.
    SetPersonPicker([](QWidget*, const std::string&, CardFields& card) {
      card[16] = "2";
      return PersonPick::kChosen;
    });
    d.Command(kCmdFromDatabase);
    QVERIFY(!d.ControlAs<QRadioButton>(kIdMale)->isChecked());
    QVERIFY(!d.ControlAs<QRadioButton>(kIdFemale)->isChecked());
    SetPersonPicker([](QWidget*, const std::string&, CardFields& card) {
      card[16] = "0";
      return PersonPick::kChosen;
    });
    d.Command(kCmdFromDatabase);
    QVERIFY(d.ControlAs<QRadioButton>(kIdMale)->isChecked());
    QVERIFY(g_warnings.empty());
    SetPersonPicker(std::move(old));
  }

  void townsWithoutTownsDatabaseShowNoab() {
    TownChooser old = SetTownChooser(nullptr);
    DBirthData d(nullptr, Moscow(), 0, "a");
    d.Command(kCmdTowns);
    QCOMPARE(g_warnings.size(), size_t(1));
    QCOMPARE(g_warnings[0], LookupText("Noab"));
    QCOMPARE(Text(d, kIdTown), W("Москва"));
    SetTownChooser([](QWidget*, TownRequest& r) {
      r.place = W("Тула");
      r.correction_h = -4;
      r.has_correction = true;
      return true;
    });
    d.Command(kCmdTowns);
    QCOMPARE(Text(d, kIdTown), W("Тула"));
    QCOMPARE(Text(d, kIdUtTime), std::string("08:00:00"));
    SetTownChooser(std::move(old));
  }

  void valuesBecomeTheRecord() {
    ChartRecord rec = DefaultChartRecord();
    std::array<uint8_t, 80> ov{};
    BirthValues v = Moscow();
    v.correction_h = -3;
    v.exact_time = true;
    ApplyBirthValues(v, 5, rec, ov);
    QCOMPARE(double(rec.jd_local), DateToJulianDay({15, 6, 1990, 12, 0, 0}));
    QCOMPARE(double(rec.jd_ut), double(rec.jd_local) - 0.125);
    QCOMPARE(double(rec.jd_calc), double(rec.jd_ut));
    QCOMPARE(rec.correction_h, -3.0);
    QCOMPARE(rec.house_system, int16_t(5));
    QCOMPARE(ov[kOptExactTime], uint8_t(1));
    QCOMPARE(rec.sex, uint8_t(1));
    QCOMPARE(rec.lat_packed, 55.45);
    v.exact_time = false;
    v.name = std::string(40, 'A');
    ApplyBirthValues(v, 5, rec, ov);
    QCOMPARE(rec.house_system, int16_t(kNoHousesSystem));
    QCOMPARE(ov[kOptExactTime], uint8_t(0));
    QCOMPARE(std::string(rec.name), std::string(29, 'A'));
    const BirthValues back = BirthValuesFromRecord(rec, false);
    QCOMPARE(back.hour, 12);
    QCOMPARE(back.second, 0);
    QCOMPARE(back.name, std::string(29, 'A'));
  }

  void cancelLeavesRecordAndOptionBytes() {
    Settings s;
    ChartRecord startup = DefaultChartRecord();
    s.ov[kOptExactTime] = 0;
    ChartRecord working = MoscowRecord();
    const ChartRecord before = working;
    const auto ov_before = s.ov;
    bool calculated = false, opened = false;
    BirthCommandSteps steps;
    steps.run_dialog = [](DBirthData& d) {
      d.SetEditText(kIdName, "Changed");
      d.SetEditText(kIdCorrection, "-3");
      d.Command(kCmdToday);  // also checks the exact-time box
      QTimer::singleShot(0, &d, [&d] {
        QTest::keyClick(d.ControlAs<QLineEdit>(kIdYear), Qt::Key_Escape);
      });
      return RunDialog(d);
    };
    steps.calculate = [&](ChartRecord&, const ChartRecord&) { calculated = true; return 0; };
    steps.open_window = [&](const ChartRecord&) { opened = true; };
    QCOMPARE(int(RunBirthDataCommand(nullptr, working, startup, s, steps)), int(BirthCommandResult::kCancelled));
    QVERIFY(std::memcmp(&working, &before, sizeof working) == 0);
    QVERIFY(s.ov == ov_before);
    QVERIFY(!calculated && !opened);
  }

  void okCalculatesAndOpensAWindow() {
    Settings s;
    ChartRecord startup = DefaultChartRecord();
    s.house_system = 6;
    ChartRecord working = MoscowRecord();
    std::string base_name;
    ChartRecord shown{};
    int windows = 0;
    SetChartText(startup.name, "Previous");
    BirthCommandSteps steps;
    steps.run_dialog = [](DBirthData& d) {
      d.SetEditText(kIdName, "Anna");
      d.SetEditText(kIdCorrection, "-3");
      d.ControlAs<QCheckBox>(kIdExactTime)->setChecked(true);
      d.ControlAs<QRadioButton>(kIdMale)->setChecked(true);
      return kCmdOk;
    };
    steps.calculate = [&](ChartRecord& rec, const ChartRecord& base) {
      base_name = base.name;
      rec.lon[1] = 84.0;
      return 0;
    };
    steps.open_window = [&](const ChartRecord& rec) {
      shown = rec;
      ++windows;
    };
    QCOMPARE(int(RunBirthDataCommand(nullptr, working, startup, s, steps)), int(BirthCommandResult::kOpened));
    QCOMPARE(base_name, std::string("Previous"));
    QCOMPARE(windows, 1);
    QCOMPARE(std::string(shown.name), std::string("Anna"));
    QCOMPARE(double(shown.lon[1]), 84.0);
    QCOMPARE(double(shown.jd_ut), double(shown.jd_local) - 0.125);
    QCOMPARE(shown.house_system, int16_t(6));
    QCOMPARE(shown.sex, uint8_t(0));
    QCOMPARE(s.ov[kOptExactTime], uint8_t(1));
    QVERIFY(std::memcmp(&startup, &working, sizeof working) == 0);
    // The settings file keeps the new start-up data.
    QCOMPARE(std::string(s.startup.name), std::string("Anna"));
    QCOMPARE(double(s.startup.jd_ut), double(working.jd_ut));
  }

  void dateOutsideTheEphemerisOpensNoWindow() {
    Settings s;
    ChartRecord startup = DefaultChartRecord();
    ChartRecord working = MoscowRecord();
    const ChartRecord startup_before = startup;
    int windows = 0;
    BirthCommandSteps steps = DefaultBirthCommandSteps(s);  // the real calculation
    steps.run_dialog = [](DBirthData& d) {
      d.SetEditText(kIdYear, "1500");
      return kCmdOk;
    };
    steps.open_window = [&](const ChartRecord&) { ++windows; };
    QCOMPARE(int(RunBirthDataCommand(nullptr, working, startup, s, steps)),
             int(BirthCommandResult::kCalculationFailed));
    QCOMPARE(windows, 0);
    QCOMPARE(g_warnings.size(), size_t(1));
    QVERIFY(g_warnings[0].find("15.06.1500") != std::string::npos);
    QVERIFY(std::memcmp(&startup, &startup_before, sizeof working) == 0);
    // The entered data stay in the working record for the next dialog.
    QCOMPARE(JulianDayToDate(double(working.jd_local)).year, 1500);
  }
};

}  // namespace kv

QTEST_MAIN(kv::BirthDialogTest)
#include "birth_dialog_test.moc"
