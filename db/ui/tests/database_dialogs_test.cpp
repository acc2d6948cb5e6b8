// The catalogue, the card dialog and the database commands on real database files
// with the shipped schema. What the dialogs write is compared field by field with
// what `kvimarot-db get` reads; refusals and damage leave the files byte for byte.
// Nested dialogs run through the session's run_dialog hook, which the tests fill in.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <map>

#include "common/calendar.h"
#include "common/codepage.h"
#include "common/journal.h"
#include "common/messages.h"
#include "common/ui/qt_text.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "db/tests/test_files.h"
#include "db/ui/card_fields.h"
#include "db/ui/card_store.h"
#include "db/ui/catalogue_model.h"
#include "db/ui/database_commands.h"
#include "db/ui/dbasa.h"
#include "db/ui/dcorr.h"

namespace kv {
namespace {

std::vector<std::string> g_warnings;
void Collect(const std::string& text) { g_warnings.push_back(text); }

std::string W(const char* utf8) { return Utf8ToCp1251(utf8); }

// The card as `kvimarot-db get` prints it: field number -> UTF-8 text; empty when the
// tool finds no card.
std::map<int, std::string> ToolGet(const std::string& database, const std::string& key) {
  QProcess p;
  p.start(QString::fromUtf8(KVIMAROT_DB), {QStringLiteral("get"),
                                           QString::fromUtf8(cards::DiskName(database)),
                                           QString::fromUtf8(key)});
  p.waitForFinished(10000);
  std::map<int, std::string> fields;
  if (p.exitCode() != 0) return fields;
  const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
  for (const QString& line : lines) {
    const int eq = line.indexOf('=');
    if (eq > 0) fields[line.left(eq).toInt()] = line.mid(eq + 1).toStdString();
  }
  return fields;
}

// "n=text;" of every field, for comparisons that print what differs.
std::string Dump(const std::map<int, std::string>& fields) {
  std::string out;
  for (const auto& [n, text] : fields) out += std::to_string(n) + "=" + text + ";";
  return out;
}

// Keys with their texts, as a keyboard sends them (QTest's keyClicks takes Latin-1 only).
void TypeKeys(QWidget* w, const char* utf8) {
  for (const QChar c : QString::fromUtf8(utf8)) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &release);
  }
}

// Sets the card dialog's edits as a user types them (UTF-8 texts).
void Type(DCorr& d, int id, const char* utf8) {
  d.ControlAs<QLineEdit>(id)->setText(QString::fromUtf8(utf8));
}

class DatabaseDialogsTest : public QObject {
  Q_OBJECT

  std::string dir_;
  std::string name_;
  DatabaseSession session_;
  MessageSink previous_;
  std::vector<std::string> questions_;
  bool answer_ = true;
  std::vector<std::string> notes_;
  // What the next dialogs do when the code runs them.
  std::function<int(Dial&)> on_dialog_;
  int dialogs_run_ = 0;

  std::vector<uint8_t> Bytes(const std::string& name) {
    std::vector<uint8_t> b = db::testing::FileBytes(cards::DiskName(name) + ".bod");
    std::vector<uint8_t> i = db::testing::FileBytes(cards::DiskName(name) + ".btr");
    b.insert(b.end(), i.begin(), i.end());
    return b;
  }
  std::string AddCard(const std::string& database, const char* name_utf8, const char* sex = "0") {
    db::FieldArray c;
    c[cards::kFieldName] = W(name_utf8);
    c[cards::kFieldDate] = "01.02.1980";
    c[cards::kFieldTime] = "10:20:30";
    c[cards::kFieldTown] = W("Тверь");
    c[cards::kFieldSex] = sex;
    std::string key;
    if (cards::AddCard(database, c, &key) != cards::Outcome::kDone) return {};
    return key;
  }
  cards::Catalogue Catalogue(const std::string& database) { return cards::LoadCatalogue(database); }

 private slots:
  void initTestCase() { QApplication::setKeyboardInputInterval(300); }

  void init() {
    previous_ = SetMessageSink({&Collect, &Collect});
    g_warnings.clear();
    questions_.clear();
    notes_.clear();
    dialogs_run_ = 0;
    answer_ = true;
    dir_ = db::testing::ScratchDir();
    SetJournalPath(dir_ + "/jur.jur");
    QVERIFY(db::LoadSchema(std::string(KV_TEST_DATA) + "/shembd.ctl").ok());
    name_ = dir_ + "/persons";
    QVERIFY(cards::CreateDatabase(name_).ok());
    session_ = DatabaseSession{};
    session_.name = name_;
    session_.hooks.run_dialog = [this](Dial& d) {
      ++dialogs_run_;
      return on_dialog_ ? on_dialog_(d) : int(kCmdCancel);
    };
    session_.hooks.confirm = [this](QWidget*, const std::string& q) {
      questions_.push_back(q);
      return answer_;
    };
    session_.hooks.inform = [this](QWidget*, const std::string& t) { notes_.push_back(t); };
    session_.hooks.choose_file = [](QWidget*) { return QString(); };
    on_dialog_ = nullptr;
  }

  void cleanup() {
    db::SetTables({});
    SetMessageSink(previous_);
    std::filesystem::remove_all(dir_);
  }

  // "Новая" on an empty database, then "Корректировать" and "Удалить" of that card:
  // after each step the files hold what the dialogs showed.
  void cardWrittenCorrectedAndDeletedThroughTheDialogs() {
    DBasa basa(nullptr, session_, Catalogue(name_), false);
    QCOMPARE(basa.HelpKey(), std::string("DBasaL"));
    QCOMPARE(basa.Model()->size(), 0);
    on_dialog_ = [](Dial& dial) {
      auto& d = dynamic_cast<DCorr&>(dial);
      const cards::CardEdits e = d.Edits();
      // An empty card: the first moment of year 1, "Муж".
      const std::array<std::string, 6> first = {"01", "01", "01", "00", "00", "00"};
      if (e.moment != first || !d.ControlAs<QRadioButton>(kIdCardMale)->isChecked()) return 0;
      Type(d, kIdCardName, "Анна Тестова");
      Type(d, kIdTown, "Москва");
      Type(d, kIdLatitude, "55.45");
      Type(d, kIdLongitude, "37.37");
      Type(d, kIdCardCorrection, "-3");
      d.ControlAs<QRadioButton>(kIdCardFemale)->setChecked(true);
      d.Command(kCmdOk);
      return d.result();
    };
    basa.Command(kCmdNewCard);
    QCOMPARE(basa.Model()->size(), 1);
    QCOMPARE(basa.Model()->Row(0).key, std::string(".000001"));
    QCOMPARE(basa.CurrentRow(), 0);
    QCOMPARE(session_.remembered_line, 0);
    std::map<int, std::string> got = ToolGet(name_, ".000001");
    const std::map<int, std::string> written = {{2, "Анна Тестова"}, {3, "01.01.0001"},
                                                {4, "00:00:00"},     {5, "55.45"},
                                                {6, "37.37"},        {7, "МОСКВА"},
                                                {8, "-3"},           {16, "1"}};
    QCOMPARE(Dump(got), Dump(written));
    QCOMPARE(basa.Model()->Row(0).line, W("Анна Тестова  01.01.0001 00:00:00 МОСКВА"));

    on_dialog_ = [](Dial& dial) {
      auto& d = dynamic_cast<DCorr&>(dial);
      const cards::CardEdits e = d.Edits();
      if (e.name != W("Анна Тестова") || e.town != W("МОСКВА") || e.sex != 1) return 0;
      Type(d, kIdCardDay, "15");
      Type(d, kIdCardDay + 1, "6");
      Type(d, kIdCardDay + 2, "1990");
      Type(d, kIdCardDay + 3, "7");
      Type(d, kIdCardDay + 4, "05");
      Type(d, kIdTown, "Тверь");
      Type(d, kIdLatitude, " 56.52");  // as the town chooser writes it
      d.ControlAs<QRadioButton>(kIdCardMale)->setChecked(true);
      d.Command(kCmdOk);
      return d.result();
    };
    basa.Command(kCmdCorrectCard);
    got = ToolGet(name_, ".000001");
    const std::map<int, std::string> corrected = {{2, "Анна Тестова"}, {3, "15.06.1990"},
                                                  {4, "07:05:00"},     {5, "56.52"},
                                                  {6, "37.37"},        {7, "ТВЕРЬ"},
                                                  {8, "-3"},           {16, "0"}};
    QCOMPARE(Dump(got), Dump(corrected));
    QCOMPARE(basa.Model()->size(), 1);
    QCOMPARE(basa.Model()->Row(0).line, W("Анна Тестова  15.06.1990 07:05:00 ТВЕРЬ"));

    answer_ = false;
    basa.Command(kCmdDeleteCard);
    QCOMPARE(questions_.size(), size_t(1));
    QVERIFY(questions_[0].find(W("Анна Тестова")) != std::string::npos);
    QCOMPARE(Dump(ToolGet(name_, ".000001")), Dump(corrected));
    answer_ = true;
    basa.Command(kCmdDeleteCard);
    QVERIFY(ToolGet(name_, ".000001").empty());
    QCOMPARE(basa.Model()->size(), 0);
    QCOMPARE(basa.CurrentRow(), -1);
    QVERIFY(g_warnings.empty());
  }

  void impossibleFieldsKeepTheCardDialogOpenAndWriteNothing() {
    const std::string key = AddCard(name_, "Борис");
    const std::vector<uint8_t> before = Bytes(name_);
    struct Case {
      int id;
      const char* text;
      const char* key;
    } cases[] = {{kIdCardDay, "31", "ChkDay"},          {kIdCardDay + 1, "13", "ChkDate"},
                 {kIdCardDay + 3, "25", "ChkTime"},     {kIdCardDay + 4, "60", "ChkTime"},
                 {kIdLatitude, "91.00", "ChkLat"},      {kIdLatitude, "55.61", "ChkLat"},
                 {kIdLongitude, "360.00", "ChkLon"},    {kIdLongitude, "37.60", "ChkLon"},
                 {kIdCardCorrection, "20", "ChkCorr"}};
    for (const Case& c : cases) {
      db::FieldArray card;
      QCOMPARE(cards::ReadCard(name_, key, card), cards::Outcome::kDone);
      int saves = 0;
      DCorr d(nullptr, card, [&](db::FieldArray&) { return ++saves, true; });
      Type(d, kIdCardDay + 1, "02");  // February, for the 31st
      d.ControlAs<QLineEdit>(c.id)->setText(QString::fromUtf8(c.text));
      g_warnings.clear();
      d.Command(kCmdOk);
      QCOMPARE(d.result(), 0);  // still open
      QCOMPARE(saves, 0);
      QCOMPARE(g_warnings.size(), size_t(1));
      QCOMPARE(g_warnings[0], std::string(c.key));
      QCOMPARE(d.ControlAs<QLineEdit>(c.id)->text(), QString::fromUtf8(c.text));
    }
    QVERIFY(Bytes(name_) == before);
  }

  // "Города..." of the card dialog goes to the town chooser with the card's moment and
  // takes place, coordinates and correction into the card.
  void theTownChooserFillsTheCard() {
    double asked_jd = 0;
    TownChooser old = SetTownChooser([&](QWidget*, TownRequest& r) {
      asked_jd = r.jd_local;
      r.place = W("Самара");
      r.lat_packed = 53.12;
      r.lon_packed = 50.09;
      r.correction_h = -4;
      r.has_correction = true;
      return true;
    });
    db::FieldArray card;
    card[cards::kFieldName] = W("Глеб");
    card[cards::kFieldDate] = "01.07.1990";
    card[cards::kFieldTime] = "12:00:00";
    db::FieldArray saved;
    DCorr d(nullptr, card, [&](db::FieldArray& c) { return saved = c, true; });
    d.Command(kCmdTowns);
    d.Command(kCmdOk);
    SetTownChooser(std::move(old));
    QCOMPARE(d.result(), int(kCmdOk));
    QCOMPARE(asked_jd, DateToJulianDay({1, 7, 1990, 12, 0, 0}));
    QCOMPARE(saved[cards::kFieldTown], W("Самара"));
    QCOMPARE(saved[cards::kFieldLatitude], std::string("53.12"));
    QCOMPARE(saved[cards::kFieldLongitude], std::string("50.09"));
    QCOMPARE(saved[cards::kFieldCorrection], std::string("-4.000"));
  }

  // Only one database is open at a time, and the town chooser opens the towns
  // database: while the catalogue and the card dialog run (and "Города..." with them)
  // no person database may be held open, for a correction as for a new card.
  void noPersonDatabaseIsOpenWhileTheDialogsRun() {
    AddCard(name_, "Борис");
    const std::string towns = dir_ + "/towns";
    QVERIFY(db::CreateTowns(towns).ok());
    std::vector<int> open_in_dialogs, open_in_chooser;
    int towns_opened = 0;
    TownChooser old = SetTownChooser([&](QWidget*, TownRequest& r) {
      open_in_chooser.push_back(cards::OpenDatabases());
      db::Database base;
      if (base.Open(towns, db::kTownsRead).ok()) ++towns_opened;
      r.place = W("Самара");
      r.lat_packed = 53.12;
      r.lon_packed = 50.09;
      return true;
    });
    int command = kCmdCorrectCard;
    on_dialog_ = [&](Dial& dial) {
      open_in_dialogs.push_back(cards::OpenDatabases());
      if (auto* basa = dynamic_cast<DBasa*>(&dial)) {
        basa->SelectRow(0);
        basa->Command(command);
        return int(kCmdCancel);
      }
      auto& d = dynamic_cast<DCorr&>(dial);
      Type(d, kIdCardName, "Глеб");
      d.Command(kCmdTowns);
      d.Command(kCmdOk);
      return d.result();
    };
    ShowCatalogue(nullptr, session_);
    command = kCmdNewCard;
    ShowCatalogue(nullptr, session_);
    SetTownChooser(std::move(old));
    QCOMPARE(open_in_dialogs, (std::vector<int>{0, 0, 0, 0}));
    QCOMPARE(open_in_chooser, (std::vector<int>{0, 0}));
    QCOMPARE(towns_opened, 2);
    QCOMPARE(cards::OpenDatabases(), 0);
    // Both cards were written with the chosen town.
    for (const char* key : {".000001", ".000002"}) {
      std::map<int, std::string> got = ToolGet(name_, key);
      QCOMPARE(got[2], std::string("Глеб"));
      QCOMPARE(got[7], std::string("САМАРА"));
      QCOMPARE(got[5], std::string("53.12"));
    }
    QVERIFY(g_warnings.empty());
  }

  // The write script refuses a nameless card: its message, the dialog stays open with
  // what was typed, the files do not change by a byte, the line stays.
  void aCardTheScriptRefusesIsNotWritten() {
    AddCard(name_, "Борис");
    const std::vector<uint8_t> before = Bytes(name_);
    DBasa basa(nullptr, session_, Catalogue(name_), false);
    basa.SelectRow(0);
    const std::string line = basa.Model()->Row(0).line;
    for (int command : {kCmdCorrectCard, kCmdNewCard}) {
      g_warnings.clear();
      bool stayed_open = false;
      on_dialog_ = [&](Dial& dial) {
        auto& d = dynamic_cast<DCorr&>(dial);
        Type(d, kIdCardName, "   ");
        Type(d, kIdTown, "Псков");
        d.Command(kCmdOk);
        stayed_open = d.result() == 0 && d.EditText(kIdTown) == W("Псков");
        d.Command(kCmdCancel);
        return d.result();
      };
      basa.Command(command);
      QVERIFY(stayed_open);
      QCOMPARE(g_warnings.size(), size_t(1));
      QCOMPARE(g_warnings[0], W("Не введено имя: карточка не записана."));
      QVERIFY(Bytes(name_) == before);
      QCOMPARE(basa.Model()->size(), 1);
      QCOMPARE(basa.Model()->Row(0).line, line);
    }
  }

  void deletingTheFirstLineSelectsNoLine() {
    for (const char* n : {"Анна", "Борис", "Вера"}) AddCard(name_, n);
    session_.remembered_line = 2;
    DBasa basa(nullptr, session_, Catalogue(name_), false);
    QCOMPARE(basa.CurrentRow(), 2);
    basa.SelectRow(0);
    basa.Command(kCmdDeleteCard);
    QCOMPARE(basa.CurrentRow(), -1);
    QCOMPARE(session_.remembered_line, 0);
    QCOMPARE(basa.Model()->Row(0).name, W("Борис"));
    // Without a current line nothing happens, no question is asked.
    basa.Command(kCmdDeleteCard);
    basa.Command(kCmdCorrectCard);
    QCOMPARE(questions_.size(), size_t(1));
    QCOMPARE(dialogs_run_, 0);
    // Deleting another line selects the one before it.
    basa.SelectRow(1);
    basa.Command(kCmdDeleteCard);
    QCOMPARE(basa.CurrentRow(), 0);
    QVERIFY(ToolGet(name_, ".000003").empty());
    QVERIFY(!ToolGet(name_, ".000002").empty());
  }

  void fieldSixteenHoldingTwoShowsMuzh() {
    {
      db::Database base;
      QVERIFY(base.Open(name_, db::kPersonWrite).ok());
      db::FieldArray card;
      card[cards::kFieldName] = W("Старая карточка");
      card[cards::kFieldSex] = "2";
      QVERIFY(base.Write(".000001", card).ok());
    }
    DBasa basa(nullptr, session_, Catalogue(name_), false);
    bool muzh = false;
    on_dialog_ = [&](Dial& dial) {
      auto& d = dynamic_cast<DCorr&>(dial);
      muzh = d.ControlAs<QRadioButton>(kIdCardMale)->isChecked() &&
             !d.ControlAs<QRadioButton>(kIdCardFemale)->isChecked();
      return int(kCmdCancel);
    };
    basa.SelectRow(0);
    basa.Command(kCmdCorrectCard);
    QVERIFY(muzh);
    // Cancel writes nothing: the 2 stays.
    QCOMPARE(ToolGet(name_, ".000001")[16], std::string("2"));
  }

  void aDamagedDatabaseIsShownButNotChanged() {
    AddCard(name_, "Анна");
    AddCard(name_, "Борис");
    std::vector<uint8_t> bod = db::testing::FileBytes(name_ + ".bod");
    db::testing::Set16(bod, 0, 10);  // less than the first entry needs
    db::testing::WriteBytes(name_ + ".bod", bod);
    const std::vector<uint8_t> before = Bytes(name_);
    bool read_only = false, buttons_off = false;
    on_dialog_ = [&](Dial& dial) {
      auto& basa = dynamic_cast<DBasa&>(dial);
      read_only = basa.ReadOnly();
      buttons_off = true;
      for (int id : {kCmdCorrectCard, kCmdDeleteCard, kCmdNewCard})
        buttons_off = buttons_off && !basa.Control(id)->isEnabled();
      on_dialog_ = nullptr;  // a card dialog would fail the test below
      for (int row : {0, 1}) {
        basa.SelectRow(row);
        for (int id : {kCmdCorrectCard, kCmdDeleteCard, kCmdNewCard}) basa.Command(id);
      }
      return int(kCmdCancel);
    };
    ShowCatalogue(nullptr, session_);
    QCOMPARE(dialogs_run_, 1);
    QVERIFY(read_only);
    QVERIFY(buttons_off);
    QVERIFY(questions_.empty());
    QCOMPARE(g_warnings.size(), size_t(1));
    QVERIFY(g_warnings[0].find(W("повреждён")) != std::string::npos);
    QVERIFY(Bytes(name_) == before);
  }

  void changingTheDatabaseResetsTheLine() {
    for (const char* n : {"Анна", "Борис", "Вера"}) AddCard(name_, n);
    const std::string other = dir_ + "/other";
    QVERIFY(cards::CreateDatabase(other).ok());
    AddCard(other, "Глеб");
    AddCard(other, "Дарья");
    session_.remembered_line = 2;
    QString chosen = QString::fromUtf8(other + ".bod");
    session_.hooks.choose_file = [&](QWidget*) { return chosen; };
    int shown_row = -5;
    std::string shown_title;
    on_dialog_ = [&](Dial& dial) {
      auto& basa = dynamic_cast<DBasa&>(dial);
      shown_row = basa.CurrentRow();
      shown_title = ToCp1251(basa.windowTitle());
      return int(kCmdCancel);
    };
    QVERIFY(ChangeDatabase(nullptr, session_));
    QCOMPARE(session_.name, other);
    QCOMPARE(session_.remembered_line, 0);
    QCOMPARE(shown_row, 0);
    QVERIFY(shown_title.find(other) != std::string::npos);
    // A file that does not open: its message, the database stays.
    chosen = QString::fromUtf8(dir_ + "/gone.bod");
    QVERIFY(!ChangeDatabase(nullptr, session_));
    QCOMPARE(session_.name, other);
    QCOMPARE(g_warnings.size(), size_t(1));
    QVERIFY(g_warnings[0].find("gone.bod") != std::string::npos);
    // Cancelled: nothing at all.
    chosen.clear();
    QVERIFY(!ChangeDatabase(nullptr, session_));
    QCOMPARE(dialogs_run_, 1);
  }

  void databaseNamesOfChosenPaths() {
    const QString saved = QDir::currentPath();
    QDir::setCurrent(QString::fromUtf8(dir_));
    const char* why = nullptr;
    QCOMPARE(DatabaseNameOfPath(QString::fromUtf8(dir_ + "/sub.dir/base.bod"), &why),
             std::string("sub.dir/base"));
    QCOMPARE(DatabaseNameOfPath(QString::fromUtf8(dir_ + "/клиенты.bod"), &why), W("клиенты"));
    QCOMPARE(DatabaseNameOfPath(QStringLiteral("/var/x/base.bod"), &why),
             std::string("/var/x/base"));
    QCOMPARE(DatabaseNameOfPath(QStringLiteral("/var/noext"), &why), std::string("/var/noext"));
    QVERIFY(why == nullptr);
    // Too long for "BASA", or with letters 1251 lacks: refused, never cut to another name.
    const QString deep = QStringLiteral("/var/") + QString(80, QChar('d')) + QStringLiteral("/b.bod");
    QCOMPARE(DatabaseNameOfPath(deep, &why), std::string());
    QCOMPARE(std::string(why), std::string("LongBD%s"));
    QCOMPARE(DatabaseNameOfPath(QString::fromUtf8("/var/數據.bod"), &why), std::string());
    QCOMPARE(std::string(why), std::string("BadBD%s"));
    QDir::setCurrent(saved);
  }

  void creatingADatabaseMakesItCurrent() {
    session_.remembered_line = 3;
    std::vector<std::string> attempts;
    on_dialog_ = [&](Dial& dial) {
      auto& p = dynamic_cast<DPrompt&>(dial);
      if (p.HelpKey() != "CreatBD") return 0;
      // A taken name is refused and the prompt stays; then a free one.
      for (const std::string& n : {name_, dir_ + "/new"}) {
        p.SetEditText(kIdPromptEdit, n);
        p.Command(kCmdOk);
        attempts.push_back(n + (p.result() == kCmdOk ? ":ok" : ":open"));
        if (p.result() == kCmdOk) break;
      }
      return p.result();
    };
    QVERIFY(CreateDatabaseCommand(nullptr, session_));
    QCOMPARE(attempts, (std::vector<std::string>{name_ + ":open", dir_ + "/new:ok"}));
    QCOMPARE(session_.name, dir_ + "/new");
    QCOMPARE(session_.remembered_line, 0);
    QVERIFY(cards::CanOpen(dir_ + "/new"));
    QCOMPARE(g_warnings.size(), size_t(1));
    // Cancelled: the current database stays.
    on_dialog_ = [](Dial&) { return int(kCmdCancel); };
    QVERIFY(!CreateDatabaseCommand(nullptr, session_));
    QCOMPARE(session_.name, dir_ + "/new");
  }

  void typingMovesToTheFirstMatchingName() {
    for (const char* n : {"Борисов", "елисеева", "Ёлкин", "Иванова", "иванов", "Ясенева"})
      AddCard(name_, n);
    DBasa basa(nullptr, session_, Catalogue(name_), false);
    basa.show();
    QVERIFY(QTest::qWaitForWindowExposed(&basa));
    CatalogueView* list = basa.List();
    list->setFocus();
    auto type = [&](const char* utf8) {
      QTest::qWait(QApplication::keyboardInputInterval() + 50);  // a fresh search
      TypeKeys(list, utf8);
      return basa.CurrentRow();
    };
    const QLabel* status = basa.findChild<QLabel*>();
    QCOMPARE(type("ИВ"), 3);
    QCOMPARE(ToCp1251(status->text()), std::string("CatFnd") + W("ИВ"));
    QCOMPARE(type("ел"), 1);
    QCOMPARE(type("ЁЛК"), 2);  // "ё" and "е" are one letter
    QCOMPARE(type("иванов"), 3);
    QCOMPARE(type("я"), 5);
    // No name begins so: the line stays where it was, the status says so.
    QCOMPARE(type("щ"), 5);
    QCOMPARE(ToCp1251(status->text()), std::string("CatNo") + W("щ"));
    QCOMPARE(type("бор!"), 0);
    // Backspace takes the last letter back.
    QTest::keyClick(list, Qt::Key_Backspace);
    QCOMPARE(basa.CurrentRow(), 0);
    QCOMPARE(basa.List()->Typed(), QString::fromUtf8("бор"));
  }

  // A school's database: lines are read only when shown, yet the search finds a
  // name far down that no one has looked at.
  void searchFindsCardsWhoseLinesWereNeverRead() {
    {
      db::Database base;
      QVERIFY(base.Open(name_, db::kPersonWrite).ok());
      char key[16];
      for (int i = 1; i <= 3000; ++i) {
        db::FieldArray c;
        c[cards::kFieldName] = i == 2999 ? W("Юдина") : W("Петров");
        c[cards::kFieldDate] = "01.01.2000";
        std::snprintf(key, sizeof key, ".%06d", i);
        QVERIFY(base.Write(key, c).ok());
      }
    }
    DBasa basa(nullptr, session_, Catalogue(name_), false);
    basa.resize(500, 300);
    basa.show();
    QVERIFY(QTest::qWaitForWindowExposed(&basa));
    QApplication::processEvents();
    CatalogueModel* m = basa.Model();
    QVERIFY(m->Row(0).complete);
    QVERIFY(!m->Row(2998).complete);
    TypeKeys(basa.List(), "юд");
    QCOMPARE(basa.CurrentRow(), 2998);
    QTRY_VERIFY(m->Row(2998).complete);
    QCOMPARE(m->Row(2998).line, W("Юдина  01.01.2000  "));
    QVERIFY(!m->Row(1500).complete);
  }

  void pickingReturnsTheChosenCard() {
    for (const char* n : {"Анна", "Борис"}) AddCard(name_, n, "1");
    db::FieldArray card;
    on_dialog_ = [](Dial& dial) {
      auto& basa = dynamic_cast<DBasa&>(dial);
      if (!basa.Picking() || basa.HelpKey() != "DBasa") return 0;
      basa.SelectRow(1);
      basa.Command(kCmdOk);
      return basa.result();
    };
    QCOMPARE(int(PickCard(nullptr, session_, card)), int(PickResult::kChosen));
    QCOMPARE(card[cards::kFieldName], W("Борис"));
    QCOMPARE(card[cards::kFieldKey], std::string(".000002"));
    QCOMPARE(session_.remembered_line, 1);
    // A double-click on a line acts as OK.
    on_dialog_ = [](Dial& dial) {
      auto& basa = dynamic_cast<DBasa&>(dial);
      basa.show();
      if (!QTest::qWaitForWindowExposed(&basa)) return 0;
      const QRect r = basa.List()->visualRect(basa.Model()->index(0));
      QTest::mouseClick(basa.List()->viewport(), Qt::LeftButton, {}, r.center());
      QTest::mouseDClick(basa.List()->viewport(), Qt::LeftButton, {}, r.center());
      return basa.result();
    };
    QCOMPARE(int(PickCard(nullptr, session_, card)), int(PickResult::kChosen));
    QCOMPARE(card[cards::kFieldName], W("Анна"));
    // OK without a line, or Cancel: nothing chosen.
    on_dialog_ = [](Dial& dial) {
      auto& basa = dynamic_cast<DBasa&>(dial);
      basa.SelectRow(-1);
      basa.Command(kCmdOk);
      return basa.result();
    };
    QCOMPARE(int(PickCard(nullptr, session_, card)), int(PickResult::kNotChosen));
    on_dialog_ = [](Dial&) { return int(kCmdCancel); };
    QCOMPARE(int(PickCard(nullptr, session_, card)), int(PickResult::kNotChosen));
    // A database that does not open: no dialog and no message here (the caller says it).
    dialogs_run_ = 0;
    session_.name = dir_ + "/none";
    QCOMPARE(int(PickCard(nullptr, session_, card)), int(PickResult::kCannotOpen));
    QCOMPARE(dialogs_run_, 0);
    QVERIFY(g_warnings.empty());
    // From the menu the same database is named with a way out.
    ShowCatalogue(nullptr, session_);
    QCOMPARE(dialogs_run_, 0);
    QCOMPARE(g_warnings.size(), size_t(1));
    QVERIFY(g_warnings[0].find("none") != std::string::npos);
  }

  void aChartIsStoredAsANewCard() {
    AddCard(name_, "Анна");
    cards::ChartCard chart;
    chart.name = W("Вера");
    chart.jd_local = DateToJulianDay({15, 1, 1990, 18, 0, 0});
    chart.lat_packed = 55.45;
    chart.lon_packed = 37.37;
    chart.correction_h = -3;
    chart.place = W("Москва");
    chart.text2 = W("вторая");
    chart.sex = 1;
    QCOMPARE(StoreChartCard(nullptr, session_, chart), cards::Outcome::kDone);
    QCOMPARE(notes_.size(), size_t(1));
    QVERIFY(notes_[0].find(W("Вера")) != std::string::npos);
    QVERIFY(notes_[0].find(name_) != std::string::npos);
    const std::map<int, std::string> stored = {{2, "Вера"},  {3, "15.01.1990"}, {4, "18:00:00"},
                                               {5, "55.45"}, {6, "37.37"},      {7, "МОСКВА"},
                                               {8, "-3.00"}, {9, "вторая"},     {16, "1"}};
    QCOMPARE(Dump(ToolGet(name_, ".000002")), Dump(stored));
    // Refused by the script: its message, no note, no byte changed.
    const std::vector<uint8_t> before = Bytes(name_);
    chart.name.clear();
    QCOMPARE(StoreChartCard(nullptr, session_, chart), cards::Outcome::kRefused);
    QCOMPARE(notes_.size(), size_t(1));
    QCOMPARE(g_warnings.size(), size_t(1));
    QVERIFY(Bytes(name_) == before);
    // No database: "NoB%s" with its name.
    DatabaseSession missing = session_;
    missing.name = dir_ + "/none";
    chart.name = W("Вера");
    QCOMPARE(StoreChartCard(nullptr, missing, chart), cards::Outcome::kCannotOpen);
    QCOMPARE(g_warnings.size(), size_t(2));
    QCOMPARE(g_warnings[1].rfind("NoB", 0), size_t(0));
    QVERIFY(!std::filesystem::exists(dir_ + "/none.bod"));
  }
};

}  // namespace
}  // namespace kv

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  kv::DatabaseDialogsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "database_dialogs_test.moc"
