// The orb dialogs on real block files in a scratch folder: the aspect dialog's edits
// saved on OK and read back by the block reader, Cancel leaving the file as it was,
// refused typing slips; the blocks dialog's operations; the colour chooser's greys.
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <map>

#include "aspects/orb_block.h"
#include "aspects/ui/colour_chooser.h"
#include "aspects/ui/dao.h"
#include "aspects/ui/dlo.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/tests/russian_locale.h"

namespace kv {
namespace {

std::string LookupTestText(std::string_view key) {
  static const std::map<std::string, std::string, std::less<>> table = {
      {"OCH", Utf8ToCp1251("OK/Отмена/Помощь")},
      {"TL", Utf8ToCp1251("Стандартная/Тонкая/Средняя/Толстая/Очень толстая")},
      {"ChkOrb%s", Utf8ToCp1251("Орбис %s: число от 0 до 180")},
  };
  auto it = table.find(key);
  return it == table.end() ? std::string(key) : it->second;
}

std::vector<std::string>& Warnings() {
  static std::vector<std::string> shown;
  return shown;
}
void Capture(const std::string& text) { Warnings().push_back(text); }

void WriteFile(const char* path, const std::string& bytes) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes.data(), bytes.size());
}
std::string ReadFile(const char* path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}
bool Exists(const char* path) { return QFile::exists(path); }

// A block written by hand: a comment, a short line, a line with 22 orbs that is
// switched off and carries a reserved byte, a line with its own colour.
const char kBlock[] =
    "* test block\n"
    "60 6 5 4 S 0 0 -1 1\n"
    "90 8 7 6 5 4 3 2 1 1 1 1 1 1 1 1 1 2 2 2 2 2 3 S 1 7 255 2\n"
    "120 5 S 0 0 16711680 4\n";

// The aspect dialog with its answers prepared: the colour the picker gives and the
// texts the input line gives, in order; what the picker was offered is kept.
struct Answers {
  std::optional<int32_t> colour;
  std::vector<std::string> texts;
  int32_t offered = 0;
  int changes = 0;
  AspectDialogHooks Hooks() {
    AspectDialogHooks h;
    h.pick_colour = [this](QWidget*, int32_t initial) {
      offered = initial;
      return colour;
    };
    h.ask_text = [this](QWidget*, const TextRequest&) -> std::optional<std::string> {
      if (texts.empty()) return std::nullopt;
      std::string t = texts.front();
      texts.erase(texts.begin());
      return t;
    };
    h.blocks_changed = [this] { ++changes; };
    return h;
  }
};

QLineEdit* OrbField(const Dial& d, int point) { return d.ControlAs<QLineEdit>(kIdFirstOrbField + point - 1); }

// The edits every save and cancel case makes: orbs of aspect 60 stored, its line kind
// chosen, aspect 90 switched on, aspect 120 recoloured, 72(2) added, 45 added and
// deleted again.
void MakeEdits(DAO& d, Answers& a) {
  d.Select(0);
  OrbField(d, 1)->setText("8.5");
  OrbField(d, 5)->setText("3.25");
  OrbField(d, 21)->setText("4");
  d.Command(kCmdStoreOrbs);
  d.ControlAs<QComboBox>(kIdLineKind)->setCurrentIndex(3);
  emit d.ControlAs<QComboBox>(kIdLineKind)->activated(3);  // as the user's choice
  d.Select(1);
  d.Command(kCmdToggleAspect);
  d.Select(2);
  a.colour = 0x123456;
  d.Command(kCmdAspectColour);
  a.texts = {"72(2)", "45"};
  d.Command(kCmdNewAspect);
  d.Command(kCmdNewAspect);
  d.Command(kCmdDeleteAspect);
}

}  // namespace

class OrbDialogsTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;

 private slots:
  void initTestCase() {
    // The run in the users' locale must really have its decimal comma.
    if (qEnvironmentVariableIsSet("KV_REQUIRE_DECIMAL_COMMA")) QVERIFY(testing::DecimalCommaInForce());
    SetTextLookup(&LookupTestText);
    SetMessageSink({&Capture, &Capture});
    QVERIFY(dir_.isValid());
    QDir::setCurrent(dir_.path());
  }
  void init() {
    for (const QString& f : QDir(dir_.path()).entryList(QDir::Files)) QFile::remove(f);
    Warnings().clear();
    WriteFile("mine.ao", kBlock);
  }

  void aspectDialogSavesEveryEditForTheReader() {
    Answers a;
    DAO d(nullptr, "mine.ao", a.Hooks());
    QCOMPARE(d.windowTitle(), QString("mine.ao"));
    QCOMPARE(d.ControlAs<QLabel>(kIdAspectAngle)->text(), QString("60.000"));
    QCOMPARE(OrbField(d, 3)->text(), QString(" 4.000"));
    QVERIFY(OrbField(d, 22)->isReadOnly());  // shown, never taken back
    MakeEdits(d, a);
    QCOMPARE(a.offered, 0xFF0000);  // the colour the wheel used for aspect 120
    QCOMPARE(d.Selected(), 3);      // after the deletion: the aspect before it
    QCOMPARE(ReadFile("mine.ao"), std::string(kBlock));  // nothing saved before OK
    d.show();
    d.Command(kCmdOk);
    QCOMPARE(d.result(), kCmdOk);
    QCOMPARE(a.changes, 1);
    QVERIFY(!Exists("mine.ao.new.tmp"));

    const AspectTable t = LoadAspectTable("mine.ao", true);
    QCOMPARE(t.size(), size_t(4));
    const float angles[4] = {60, 90, 120, 72};
    const uint8_t reserved[4] = {0, 7, 0, 0}, kinds[4] = {3, 2, 4, 1};
    const int32_t colours[4] = {-1, 255, 0x123456, -1};
    const float orbs60[21] = {8.5, 5, 4, 1, 3.25, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4};
    const float orbs90[21] = {8, 7, 6, 5, 4, 3, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2};
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(t[i].angle, angles[i]);
      QCOMPARE(t[i].off, uint8_t(0));
      QCOMPARE(t[i].reserved, reserved[i]);
      QCOMPARE(t[i].colour, colours[i]);
      QCOMPARE(t[i].line_kind, kinds[i]);
      for (int p = 1; p <= 21; ++p)
        QCOMPARE(t[i].Orb(p), i == 0 ? orbs60[p - 1] : i == 1 ? orbs90[p - 1] : i == 2 ? (p == 1 ? 5.0f : 1.0f) : 2.0f);
      // Orb 22 is never written: it reads 1.0; cusps 7..12 copy cusps 1..6.
      QCOMPARE(t[i].Orb(22), 1.0f);
      for (int p = 23; p <= 28; ++p) QCOMPARE(t[i].Orb(p), t[i].Orb(p - 6));
    }
  }

  void aspectDialogCancelLeavesTheFileByteForByte() {
    for (bool by_key : {false, true}) {
      Answers a;
      DAO d(nullptr, "mine.ao", a.Hooks());
      MakeEdits(d, a);
      QCOMPARE(d.Table()[0].line_kind, uint8_t(3));  // the line kind went in at once
      d.show();
      if (by_key) QTest::keyClick(OrbField(d, 2), Qt::Key_Escape);
      else d.ControlAs<QPushButton>(kCmdCancel)->click();
      QCOMPARE(d.result(), kCmdCancel);
      QCOMPARE(a.changes, 0);
      QCOMPARE(ReadFile("mine.ao"), std::string(kBlock));
    }
  }

  void typingSlipsChangeNothing() {
    Answers a;
    DAO d(nullptr, "mine.ao", a.Hooks());
    d.Select(1);
    const AspectRecord before = d.Table()[1];
    OrbField(d, 1)->setText("9");
    OrbField(d, 3)->setText("6,5");
    d.Command(kCmdStoreOrbs);
    QCOMPARE(Warnings(), std::vector<std::string>{Utf8ToCp1251("Орбис MER: число от 0 до 180")});
    QCOMPARE(d.Table()[1].Orb(1), before.Orb(1));  // not even the good field went in
    QCOMPARE(d.focusWidget(), static_cast<QWidget*>(OrbField(d, 3)));
    a.texts = {"90(3)"};  // an angle the block has; then the input line cancelled
    d.Command(kCmdNewAspect);
    d.Command(kCmdNewAspect);
    QCOMPARE(d.ControlAs<QListWidget>(kIdAspectList)->count(), 3);
  }

  // Orbs typed and then OK without "Запомнить Орбисы": OK takes them for the aspect
  // shown; a slip among them is refused with its message and the dialog stays open.
  void okTakesTheOrbsTypedForTheAspectShown() {
    const AspectTable before = LoadAspectTable("mine.ao", true);
    Answers a;
    DAO d(nullptr, "mine.ao", a.Hooks());
    d.show();
    d.Select(1);
    OrbField(d, 2)->setText("7,5");
    OrbField(d, 4)->setText("2.5");
    d.Command(kCmdOk);
    QCOMPARE(Warnings(), std::vector<std::string>{Utf8ToCp1251("Орбис MON: число от 0 до 180")});
    QVERIFY(d.isVisible());
    QCOMPARE(d.result(), 0);
    QCOMPARE(a.changes, 0);
    QCOMPARE(ReadFile("mine.ao"), std::string(kBlock));
    QCOMPARE(d.focusWidget(), static_cast<QWidget*>(OrbField(d, 2)));
    QCOMPARE(OrbField(d, 4)->text(), QString("2.5"));  // what was typed stays

    OrbField(d, 2)->setText("7.5");
    d.Command(kCmdOk);
    QCOMPARE(d.result(), kCmdOk);
    QCOMPARE(a.changes, 1);
    const AspectTable t = LoadAspectTable("mine.ao", true);
    QCOMPARE(t.size(), before.size());
    for (size_t i = 0; i < t.size(); ++i) {
      QCOMPARE(t[i].angle, before[i].angle);
      QCOMPARE(t[i].off, before[i].off);
      QCOMPARE(t[i].colour, before[i].colour);
      QCOMPARE(t[i].line_kind, before[i].line_kind);
      for (int p = 1; p <= 21; ++p) {
        const float expected = i == 1 && p == 2 ? 7.5f : i == 1 && p == 4 ? 2.5f : before[i].Orb(p);
        QCOMPARE(t[i].Orb(p), expected);
      }
    }
  }

  // The user types into an orb field and, with the cursor still in it, presses Enter
  // or clicks OK: the orbs go into the block as typed.
  void okTakesTheOrbTypedInTheFieldThatHasTheFocus() {
    for (bool by_enter : {true, false}) {
      init();
      Answers a;
      DAO d(nullptr, "mine.ao", a.Hooks());
      d.show();
      QVERIFY(QTest::qWaitForWindowActive(&d));
      d.Select(2);
      QLineEdit* field = OrbField(d, 6);
      field->setFocus();
      field->selectAll();
      QTest::keyClicks(field, "12.5");
      QCOMPARE(d.focusWidget(), static_cast<QWidget*>(field));
      if (by_enter) QTest::keyClick(field, Qt::Key_Return);
      else QTest::mouseClick(d.ControlAs<QPushButton>(kCmdOk), Qt::LeftButton);
      QCOMPARE(d.result(), kCmdOk);
      QVERIFY(Warnings().empty());
      QCOMPARE(a.changes, 1);
      const AspectTable t = LoadAspectTable("mine.ao", true);
      QCOMPARE(t.at(2).Orb(6), 12.5f);
      QCOMPARE(t.at(2).Orb(1), 5.0f);  // the fields not typed into keep their orbs
    }
  }

  // OK with nothing typed writes the aspect shown as it was read, even one whose
  // stored orb the fields could not take back (above 180).
  void okWithNothingTypedKeepsTheAspectShown() {
    WriteFile("wide.ao", "60 200 5 S 0 0 -1 1\n");
    const AspectTable before = LoadAspectTable("wide.ao", true);
    QCOMPARE(before.at(0).Orb(1), 200.0f);
    Answers a;
    DAO d(nullptr, "wide.ao", a.Hooks());
    d.show();
    d.Command(kCmdOk);
    QCOMPARE(d.result(), kCmdOk);
    QVERIFY(Warnings().empty());
    const AspectTable t = LoadAspectTable("wide.ao", true);
    QCOMPARE(t.size(), size_t(1));
    for (int p = 1; p <= 21; ++p) QCOMPARE(t[0].Orb(p), before[0].Orb(p));
  }

  void blocksDialogOperations() {
    WriteFile("0.ao", "60 6 S 0 0 -1 1\n");
    WriteFile("notes.txt", "not a block");
    std::string orb_file = "mine.ao";
    Answers a;
    DLO d(nullptr, orb_file, a.Hooks());
    QCOMPARE(d.Blocks(), (std::vector<std::string>{"0.ao", "mine.ao"}));
    QCOMPARE(d.ControlAs<QLabel>(kIdCurrentBlock)->text(), QString("mine.ao"));

    // New: a copy of the current block, listed; the current block stays.
    a.texts = {"copy.txt", "copy"};
    d.Command(kCmdNewBlock);
    d.Command(kCmdNewBlock);  // refused: the file exists
    QCOMPARE(d.Blocks(), (std::vector<std::string>{"0.ao", "copy.ao", "mine.ao"}));
    QCOMPARE(ReadFile("copy.ao"), std::string(kBlock));
    QCOMPARE(orb_file, std::string("mine.ao"));

    QVERIFY(d.SelectBlock("copy.ao"));
    d.Command(kCmdSelectBlock);
    QCOMPARE(orb_file, std::string("copy.ao"));
    QCOMPARE(d.ControlAs<QLabel>(kIdCurrentBlock)->text(), QString("copy.ao"));

    // Delete: the text goes at once, the compiled twin stays.
    LoadAspectTable("mine.ao", true);
    QVERIFY(d.SelectBlock("mine.ao"));
    d.Command(kCmdDeleteBlock);
    QVERIFY(!Exists("mine.ao") && Exists("mine.aoj"));
    QCOMPARE(d.Blocks(), (std::vector<std::string>{"0.ao", "copy.ao"}));
    QCOMPARE(a.changes, 3);
  }

  void colourChooserPresetsTheGreys() {
    const auto greys = ChooserGreys();
    QCOMPARE(greys[0], 0x010101);
    for (int i = 1; i < 16; ++i) QCOMPARE(greys[i], 16 * i * 0x010101);
    QColor offered;
    QTimer::singleShot(0, [&] {
      if (auto* dlg = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) {
        offered = dlg->currentColor();
        dlg->setCurrentColor(QColor(0x10, 0x20, 0x30));
        dlg->accept();
      }
    });
    // 0x0000FF is red in the stored order; the choice comes back as 0x00BBGGRR.
    QCOMPARE(ChooseColour(nullptr, 0x0000FF), std::optional<int32_t>(0x302010));
    QCOMPARE(offered, QColor(255, 0, 0));
    for (int i = 0; i < 16; ++i) QCOMPARE(RgbFromColour(QColorDialog::customColor(i)), greys[i]);
  }
};

}  // namespace kv

QTEST_MAIN(kv::OrbDialogsTest)
#include "orb_dialogs_test.moc"
