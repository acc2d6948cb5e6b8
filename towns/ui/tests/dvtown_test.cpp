// The town chooser on a small towns database of its own: the list and its counter,
// the prefix search, the country filter, the correction and the switch-day note
// under the list, choosing by button and by double-click, the remembered search
// text, and what a dialog with a place block receives.
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "common/calendar.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/ui/qt_text.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "towns/town_record.h"
#include "towns/town_search.h"
#include "towns/ui/choose_town.h"
#include "towns/ui/dcountry.h"
#include "towns/ui/dvtown.h"

namespace kv::towns {
namespace {

namespace fs = std::filesystem;

std::string LookupText(std::string_view key) {
  static const std::map<std::string, std::string, std::less<>> table = {
      {"OCH", W("OK/Отмена/Помощь")},
      {"VT", W("Выбор города")},
      {"VCnt", W("Выбор страны")},
      {"TwHead", W("  Город                   Страна Регион               Широта  Долгота    Код Попр.")},
      {"TwFind", W("Поиск")},
      {"TwCntry", W("Страна")},
      {"TwTake", W("Выбрать")},
      {"TwCorr", W("Поправка на %s: %s")},
      {"ClkCh", W("В этот день часы переводились: проверьте поправку")},
      {"Noab", W("База данных городов недоступна")},
  };
  auto it = table.find(key);
  return it == table.end() ? std::string(key) : it->second;
}

std::vector<std::string>& Warnings() {
  static std::vector<std::string> w;
  return w;
}
void CatchWarning(const std::string& text) { Warnings().push_back(text); }

struct TestTown {
  const char* key;
  const char* name;
  const char* country;
  const char* region;
  const char* lat;
  const char* lon;
  const char* zone;
  const char* rule;
  const char* fixed;
  const char* population;
};

// In the order of the name index (code page 866 bytes): Б, К, Н, С..., Ё.
// Two towns named Саратов: the small one in the USA comes first (key "t.10").
const TestTown kTowns[] = {
    {"t.6", "Бафата", "Гвинея-Бисау", "", "12.10", "-14.40", "", "", "0", "22000"},
    {"t.5", "Конакри", "Гвинея", "", "9.32", "-13.41", "", "", "0", "1700000"},
    {"t.3", "Нью-Йорк", "США", "Нью-Йорк", "40.43", "-74.00", "2", "R2", "", "8000000"},
    {"t.7", "Сальск", "Россия", "", "46.28", "41.33", "1", "R1", "", "60000"},
    {"t.1", "Самара", "Россия", "Самарская область", "53.12", "50.09", "1", "R1", "", "1100000"},
    {"t.10", "Саратов", "США", "Арканзас", "33.00", "-92.00", "2", "R2", "", "500"},
    {"t.2", "Саратов", "Россия", "Саратовская область", "51.34", "46.02", "1", "R1", "", "800000"},
    {"t.4", "Ёлкино", "Россия", "", "55.00", "40.00", "1", "R1", "", "1500"},
};
constexpr int kTownCount = 8;
constexpr int kSalsk = 3, kSamara = 4, kSaratovUs = 5, kSaratov = 6, kYolkino = 7;

const char* kZoneTable =
    "@@ PopTime\n"
    "1 3 01.01.1930-01.01.1992 2\n"
    "2 -5\n"
    "@@ R1\n"
    "27.03.1983-25.09.1983 1\n"
    "@@ R2\n"
    "24.04.1983-30.10.1983 1\n";

double At(int d, int m, int y, int hour) { return DateToJulianDay(DateTimeRecord{d, m, y, hour, 0, 0}); }
const double kSummer1983 = At(1, 7, 1983, 12);
const double kSwitchDay = At(27, 3, 1983, 12);

// A dialog with a place block, date and time edits and a correction edit.
class PlaceDial : public Dial {
 public:
  PlaceDial() : Dial(nullptr, 4243, "Test", kDialPlaceBlock) {
    auto* layout = new QVBoxLayout(this);
    std::vector<QLineEdit*> edits;
    for (int i = 0; i < 6; ++i) {
      edits.push_back(AddEdit(5001 + i, 4));
      layout->addWidget(edits.back());
    }
    correction = AddEdit(5010, 9);
    auto* row = new QHBoxLayout;
    row->addWidget(correction);
    layout->addLayout(row);
    for (int id : {kIdTown, kIdLatitude, kIdLongitude}) layout->addWidget(Control(id));
    layout->addWidget(TownsButton());
    SetDateTimeEdits(edits, correction);
  }
  void SetMoment(int d, int m, int y, int h) {
    const int v[6] = {d, m, y, h, 0, 0};
    for (int i = 0; i < 6; ++i) SetEditText(5001 + i, std::to_string(v[i]));
  }
  QLineEdit* correction;
};

class DVTownTest : public QObject {
  Q_OBJECT

  fs::path dir_, previous_;
  db::Database base_;  // the test's own handle, open between init and cleanup
  ZoneTable table_;

  static QString Label(const QWidget& w, int id) {
    return static_cast<const Dial&>(w).ControlAs<QLabel>(id)->text();
  }
  static QLineEdit* Search(DVTown& d) { return d.ControlAs<QLineEdit>(kIdTownSearch); }
  // Key presses carrying the letters (QTest's own take Latin-1 only).
  static void Type(QWidget* w, const char* utf8) {
    for (QChar c : QString::fromUtf8(utf8)) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(w, &press);
      QApplication::sendEvent(w, &release);
    }
  }
  static void Retype(DVTown& d, const char* utf8) {
    Search(d)->clear();
    Type(Search(d), utf8);
  }

  // Runs ChooseTown; `act` works the chooser once it is shown.
  static bool RunChooser(TownRequest& request, TownChooserMemory& memory,
                         std::function<void(DVTown&)> act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<DVTown*>(QApplication::activeModalWidget());
      if (!d) return;
      acted = true;
      QVERIFY(QTest::qWaitForWindowExposed(d));
      act(*d);
      // A step that failed must not leave the test waiting on the dialog.
      if (d->isVisible()) d->reject();
    });
    const bool chosen = ChooseTown(nullptr, request, memory);
    if (!acted) QTest::qWait(1);  // let the pending timer go before the next run
    return chosen;
  }
  static void ClickOk(DVTown& d) { d.ControlAs<QPushButton>(kCmdOk)->click(); }

  // Files of the towns database (".btz", ".bbb", ".bnz") the process holds open.
  static int OpenTownsFiles() {
    int n = 0;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
      std::error_code ec;
      const fs::path target = fs::read_symlink(fd.path(), ec);
      if (!ec && target.stem() == kTownsDatabase) ++n;
    }
    return n;
  }

 private slots:
  void initTestCase() {
    SetTextLookup(&LookupText);
    SetMessageSink({&CatchWarning, &CatchWarning});
    std::ifstream schema(std::string(KV_TEST_DATA) + "/shembd.ctl", std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(schema, line);) lines.push_back(line);
    db::SetTables(db::ParseSchema(lines));

    dir_ = fs::temp_directory_path() / ("kv_dvtown_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    previous_ = fs::current_path();
    fs::current_path(dir_);
    QVERIFY(db::CreateTowns(kTownsDatabase).ok());
    db::Database base;
    QVERIFY(base.Open(kTownsDatabase, db::kTownsWrite4).ok());
    db::FieldArray f;
    for (auto [key, ru, en] : {std::tuple{"S.RU", "Россия", "Russia"}, {"S.US", "США", "USA"},
                               {"S.GW", "Гвинея-Бисау", "Guinea-Bissau"},
                               {"S.GN", "Гвинея", "Guinea"}, {"S.AQ", "Антарктида", ""}}) {
      db::ClearFields(f);
      f[kFieldCountryName] = Utf8ToCp866(ru);
      f[kFieldCountryOtherName] = en;
      QVERIFY(base.Write(key, f).ok());
    }
    for (const TestTown& t : kTowns) {
      db::ClearFields(f);
      f[kFieldTownName] = Utf8ToCp866(t.name);
      f[kFieldCountry] = Utf8ToCp866(t.country);
      f[kFieldCountryRegion] = Utf8ToCp866(std::string(t.country) + (*t.region ? ", " : "") + t.region);
      f[kFieldNamePart2] = Utf8ToCp866(t.region);
      f[kFieldLatitude] = t.lat;
      f[kFieldLongitude] = t.lon;
      f[kFieldZoneCode] = t.zone;
      f[kFieldSummerRule] = t.rule;
      f[kFieldFixedOffset] = t.fixed;
      f[kFieldPopulation] = t.population;
      QVERIFY(base.Write(t.key, f).ok());
    }
    base.Close();
    std::ofstream(kZoneFile, std::ios::binary) << kZoneTable;
    table_.LoadText(kZoneTable);
  }

  void cleanupTestCase() {
    base_.Close();
    fs::current_path(previous_);
    fs::remove_all(dir_);
  }

  void init() {
    Warnings().clear();
    QVERIFY(base_.Open(kTownsDatabase, db::kTownsRead).ok());
  }
  void cleanup() { base_.Close(); }

  void opensOnTheFirstLineOfEveryTown() {
    int last = -1;
    DVTown d(nullptr, base_, TownList::All(base_), "", kSummer1983, true, table_, &last);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QCOMPARE(d.windowTitle(), QString::fromUtf8("Выбор города"));
    QCOMPARE(d.ListView()->model()->rowCount(), kTownCount);
    QCOMPARE(d.CurrentRow(), 0);
    QCOMPARE(Label(d, kIdTownCounter), QString("1:8"));
    QCOMPARE(d.CounterText(), std::string("1:8"));
    QCOMPARE(Label(d, kIdTownHeader), TextQ("TwHead"));
    QCOMPARE(d.ControlAs<QPushButton>(kCmdOk)->text(), QString::fromUtf8("Выбрать"));
    // The lines are the records' list lines, in the header's monospaced columns.
    const QString line = d.ListView()->model()->index(kSamara, 0).data().toString();
    QVERIFY(line.startsWith(QString::fromUtf8("Самара") + QString(19, ' ') + ' ' +
                            QString::fromUtf8("Россия, Самарская область")));
    QVERIFY(line.contains("   53.12    50.09     1  -   "));
    QCOMPARE(Search(d)->maxLength(), 19);
    QVERIFY(Search(d)->hasFocus());
  }

  void searchSelectsTheFirstTownBeginningWithTheText() {
    DVTown d(nullptr, base_, TownList::All(base_), "", kSummer1983, true, table_, nullptr);
    d.show();
    Type(Search(d), "са");
    QCOMPARE(d.CurrentRow(), kSalsk);
    QCOMPARE(Label(d, kIdTownCounter), QString("4:8"));
    QTest::keyClick(Search(d), Qt::Key_Backspace);
    Type(Search(d), "АМ");
    QCOMPARE(d.SelectedKey(), std::string("t.1"));
    QCOMPARE(Label(d, kIdTownCounter), QString("5:8"));
    // The correction of the selected town at the dialog's moment, under the list.
    QCOMPARE(Label(d, kIdTownCorrection), QString::fromUtf8("Поправка на 01.07.1983 12:00:00: -3.00"));
    QVERIFY(Label(d, kIdTownNote).isEmpty());
    // "ё" and "е" are one letter, in the text and in the names.
    Retype(d, "ел");
    QCOMPARE(d.CurrentRow(), kYolkino);
    // A whole name: the largest town of that name, not the first line.
    Retype(d, "сарат");
    QCOMPARE(d.CurrentRow(), kSaratovUs);
    Type(Search(d), "ов");
    QCOMPARE(d.CurrentRow(), kSaratov);
    Retype(d, "Ёлк");
    QCOMPARE(d.CurrentRow(), kYolkino);
    // A text no town begins with leaves the selection where it was.
    Type(Search(d), "щ");
    QCOMPARE(d.CurrentRow(), kYolkino);
    QCOMPARE(Label(d, kIdTownCounter), QString("8:8"));
    // Nothing typed: the first line.
    Search(d)->clear();
    QCOMPARE(d.CurrentRow(), 0);
    QCOMPARE(Label(d, kIdTownCorrection), QString::fromUtf8("Поправка на 01.07.1983 12:00:00: 0.00"));
  }

  void rememberedTextStartsUpperCasedAndSearched() {
    DVTown d(nullptr, base_, TownList::All(base_), W("сар"), kSummer1983, true, table_, nullptr);
    QCOMPARE(Search(d)->text(), QString::fromUtf8("САР"));
    QCOMPARE(d.CurrentRow(), kSaratovUs);
    DVTown nothing(nullptr, base_, TownList::All(base_), W("атлантида"), kSummer1983, true, table_, nullptr);
    QCOMPARE(nothing.CurrentRow(), 0);
  }

  void countryKeepsItsOwnTownsAndIsPreselectedNextTime() {
    int last = -1;
    DVTown d(nullptr, base_, TownList::All(base_), W("с"), kSummer1983, true, table_, &last);
    d.show();
    const std::vector<CountryRow> countries = Countries(base_);
    QCOMPARE(countries[1].name, W("Гвинея"));
    // Guinea, not Guinea-Bissau, whose name begins the same.
    d.ShowCountry(countries[1]);
    QCOMPARE(d.ListView()->model()->rowCount(), 1);
    QCOMPARE(d.SelectedKey(), std::string("t.5"));
    QCOMPARE(Label(d, kIdTownCounter), QString("1:1"));

    // Through the button: the chooser starts on the first country the first time.
    int preselected = -2;
    QTimer::singleShot(0, [&] {
      auto* c = qobject_cast<DCountry*>(QApplication::activeModalWidget());
      QVERIFY(c);
      preselected = c->CurrentRow();
      QCOMPARE(c->windowTitle(), QString::fromUtf8("Выбор страны"));
      QCOMPARE(c->ListView()->model()->index(2, 0).data().toString(),
               QString::fromUtf8("Гвинея-Бисау (Guinea-Bissau)"));
      c->SelectRow(3);
      c->ControlAs<QPushButton>(kCmdOk)->click();
    });
    d.Command(kCmdTownCountry);
    QCOMPARE(preselected, 0);
    QCOMPARE(last, 3);
    QCOMPARE(d.ListView()->model()->rowCount(), 4);
    QCOMPARE(d.CurrentRow(), 0);  // the typed "С" searched again: Сальск
    QCOMPARE(d.SelectedKey(), std::string("t.7"));
    QCOMPARE(Label(d, kIdTownCounter), QString("1:4"));

    // The next time Russia is preselected; cancel keeps the list.
    QTimer::singleShot(0, [&] {
      auto* c = qobject_cast<DCountry*>(QApplication::activeModalWidget());
      QVERIFY(c);
      preselected = c->CurrentRow();
      c->ControlAs<QPushButton>(kCmdCancel)->click();
    });
    d.Command(kCmdTownCountry);
    QCOMPARE(preselected, 3);
    QCOMPARE(d.ListView()->model()->rowCount(), 4);

    // A country without towns: an empty list, nothing selected.
    d.ShowCountry(countries[0]);
    QCOMPARE(d.ListView()->model()->rowCount(), 0);
    QCOMPARE(d.SelectedKey(), std::string());
    QCOMPARE(Label(d, kIdTownCounter), QString("0:0"));
    QVERIFY(Label(d, kIdTownCorrection).isEmpty());
  }

  void switchDayIsNotedUnderTheList() {
    DVTown d(nullptr, base_, TownList::All(base_), W("самара"), kSwitchDay, true, table_, nullptr);
    QCOMPARE(d.CurrentRow(), kSamara);
    QCOMPARE(Label(d, kIdTownCorrection), QString::fromUtf8("Поправка на 27.03.1983 12:00:00: -3.00"));
    QCOMPARE(Label(d, kIdTownNote), QString::fromUtf8("В этот день часы переводились: проверьте поправку"));
    // New York changed its clocks four weeks later.
    Retype(d, "нью");
    QCOMPARE(Label(d, kIdTownCorrection), QString::fromUtf8("Поправка на 27.03.1983 12:00:00: 5.00"));
    QVERIFY(Label(d, kIdTownNote).isEmpty());
  }

  void chosenTownFillsTheRequestWithItsEastLongitude() {
    cleanup();  // ChooseTown opens the database itself
    TownRequest r;
    r.jd_local = kSummer1983;
    TownChooserMemory memory;
    int open_while_shown = 0;
    const bool chosen = RunChooser(r, memory, [&](DVTown& d) {
      open_while_shown = OpenTownsFiles();
      Type(Search(d), "нью");
      QTest::keyClick(Search(d), Qt::Key_Return);  // Enter in the search edit is "Выбрать"
    });
    QVERIFY(chosen);
    QCOMPARE(r.place, W("Нью-Йорк,Нью-Йорк"));
    QCOMPARE(r.lat_packed, 40.43);
    QCOMPARE(r.lon_packed, 286.00);
    QVERIFY(r.has_correction);
    QCOMPARE(r.correction_h, 4.0);  // -5 and one hour of summer time
    QVERIFY(r.note.empty());
    QCOMPARE(memory.search_text, W("нью"));
    // The chooser's own handle had the files while it ran and let them go after.
    QVERIFY(open_while_shown > 0);
    QCOMPARE(OpenTownsFiles(), 0);
    QVERIFY(Warnings().empty());
    init();
  }

  void doubleClickChoosesAndTheSwitchDayComesWithANote() {
    cleanup();
    TownRequest r;
    r.jd_local = kSwitchDay;
    TownChooserMemory memory{W("сам"), -1};
    const bool chosen = RunChooser(r, memory, [](DVTown& d) {
      QCOMPARE(Search(d)->text(), QString::fromUtf8("САМ"));
      QListView* view = d.ListView();
      const QRect rect = view->visualRect(view->model()->index(kSaratov, 0));
      // A double-click is a press, a release and a second press that is a double one.
      QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
      QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    });
    QVERIFY(chosen);
    QCOMPARE(r.place, W("Саратов,Саратовская область"));
    QCOMPARE(r.correction_h, -3.0);
    QCOMPARE(r.note, W("В этот день часы переводились: проверьте поправку"));
    QCOMPARE(memory.search_text, W("САМ"));  // as the edit held it
    init();
  }

  void cancelOrNoSelectionChangesNothingButTheTextIsKept() {
    const std::vector<CountryRow> countries = Countries(base_);
    cleanup();
    TownRequest r;
    r.place = "Keep";
    TownChooserMemory memory{W("сам"), -1};
    QVERIFY(!RunChooser(r, memory, [](DVTown& d) {
      Retype(d, "конакри");
      d.ControlAs<QPushButton>(kCmdCancel)->click();
    }));
    QCOMPARE(r.place, std::string("Keep"));
    QVERIFY(!r.has_correction);
    QCOMPARE(memory.search_text, W("конакри"));
    // A long text is remembered up to 41 characters; the edit took 19 of them.
    memory.search_text = std::string(60, 'x');
    QVERIFY(!RunChooser(r, memory, [&](DVTown& d) {
      d.ShowCountry(countries[0]);  // no towns: OK has nothing to take
      ClickOk(d);
    }));
    QCOMPARE(memory.search_text, std::string(19, 'X'));
    QCOMPARE(r.place, std::string("Keep"));
    init();
  }

  void missingDatabaseSaysNoabAndShowsNothing() {
    cleanup();
    fs::rename("towns.btz", "towns.btz.away");
    TownRequest r;
    r.place = "Keep";
    TownChooserMemory memory{W("сам"), 2};
    bool shown = false;
    QVERIFY(!RunChooser(r, memory, [&](DVTown&) { shown = true; }));
    fs::rename("towns.btz.away", "towns.btz");
    QVERIFY(!shown);
    QCOMPARE(Warnings(), std::vector<std::string>{W("База данных городов недоступна")});
    QCOMPARE(r.place, std::string("Keep"));
    QCOMPARE(memory.search_text, W("сам"));
    QCOMPARE(memory.last_country, 2);
    init();
  }

  void placeBlockOfTheCallingDialogIsFilled() {
    cleanup();
    TownChooserMemory memory;
    TownChooser old = SetTownChooser([&memory](QWidget* parent, TownRequest& r) {
      return ChooseTown(parent, r, memory);
    });
    PlaceDial dial;
    dial.SetMoment(27, 3, 1983, 12);
    dial.show();
    QTimer::singleShot(0, [] {
      auto* d = qobject_cast<DVTown*>(QApplication::activeModalWidget());
      QVERIFY(d);
      Type(Search(*d), "самара");
      ClickOk(*d);
    });
    dial.TownsButton()->click();
    SetTownChooser(std::move(old));
    QCOMPARE(dial.EditText(kIdTown), W("Самара,Самарская область"));
    QCOMPARE(dial.EditText(kIdLatitude), std::string(" 53.12"));
    QCOMPARE(dial.EditText(kIdLongitude), std::string(" 50.09"));
    QCOMPARE(dial.correction->text(), QString("-3.000"));
    auto* note = dial.findChild<QLabel*>(QStringLiteral("CorrectionNote"));
    QVERIFY(note && note->isVisible());
    QCOMPARE(note->text(), QString::fromUtf8("В этот день часы переводились: проверьте поправку"));
    dial.SetMoment(1, 7, 1983, 12);  // another day: the note no longer holds
    QVERIFY(!note->isVisible());
    init();
  }
};

}  // namespace
}  // namespace kv::towns

QTEST_MAIN(kv::towns::DVTownTest)
#include "dvtown_test.moc"
