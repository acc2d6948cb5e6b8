// The orb dialogs on real block files in a scratch folder: the aspect dialog's edits
// saved on OK and read back by the block reader, Cancel leaving the file as it was,
// refused typing slips; the blocks dialog's operations; the colour chooser's greys and
// the input line.
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

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "aspects/aspect_edit.h"
#include "aspects/orb_block.h"
#include "aspects/ui/colour_chooser.h"
#include "aspects/ui/dao.h"
#include "aspects/ui/dlo.h"
#include "aspects/ui/text_input.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

std::string LookupTestText(std::string_view key) {
  static const std::map<std::string, std::string, std::less<>> table = {
      {"OCH", Utf8ToCp1251("OK/Отмена/Помощь")},
      {"TL", Utf8ToCp1251("Стандартная/Тонкая/Средняя/Толстая/Очень толстая")},
      {"ChkOrb%s", Utf8ToCp1251("Орбис %s: число от 0 до 180")},
      {"F%is", "exists: %s"},
      {"IsAs", "IsAs"},
      {"SkF", "SkF"},
  };
  auto it = table.find(key);
  return it == table.end() ? std::string(key) : it->second;
}

std::vector<std::string>& Warnings() {
  static std::vector<std::string> shown;
  return shown;
}
void Capture(const std::string& text) { Warnings().push_back(text); }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}
std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}
bool Exists(const std::string& path) { return std::ifstream(path).good(); }

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

void ChooseLineKind(const Dial& d, int kind) {
  auto* combo = d.ControlAs<QComboBox>(kIdLineKind);
  combo->setCurrentIndex(kind);
  emit combo->activated(kind);
}

// The edits every save and cancel case makes: orbs of aspect 60 stored, its line kind
// chosen, aspect 90 switched on, aspect 120 recoloured, 72(2) added, 45 added and
// deleted again.
void MakeEdits(DAO& d, Answers& a) {
  d.Select(0);
  OrbField(d, 1)->setText("8.5");
  OrbField(d, 5)->setText("3.25");
  OrbField(d, 21)->setText("4");
  d.Command(kCmdStoreOrbs);
  ChooseLineKind(d, 3);
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
  QString old_cwd_;

 private slots:
  void initTestCase() {
    SetTextLookup(&LookupTestText);
    SetMessageSink({&Capture, &Capture});
  }
  void init() {
    old_cwd_ = QDir::currentPath();
    QVERIFY(dir_.isValid());
    QDir::setCurrent(dir_.path());
    for (const QString& f : QDir(dir_.path()).entryList(QDir::Files)) QFile::remove(f);
    Warnings().clear();
  }
  void cleanup() { QDir::setCurrent(old_cwd_); }

  void aspectDialogSavesEveryEditForTheReader() {
    WriteFile("mine.ao", kBlock);
    Answers a;
    DAO d(nullptr, "mine.ao", a.Hooks());
    QCOMPARE(d.windowTitle(), QString("mine.ao"));
    QCOMPARE(d.ControlAs<QListWidget>(kIdAspectList)->count(), 3);
    QCOMPARE(d.Selected(), 0);
    QCOMPARE(d.ControlAs<QLabel>(kIdAspectAngle)->text(), QString("60.000"));
    QCOMPARE(OrbField(d, 3)->text(), QString(" 4.000"));
    // The orb of cusp 6 is shown, never taken back.
    QVERIFY(OrbField(d, 22)->isReadOnly());
    QVERIFY(!OrbField(d, 21)->isReadOnly());

    MakeEdits(d, a);
    QCOMPARE(a.offered, 0xFF0000);  // the colour the wheel used for aspect 120
    QCOMPARE(d.Selected(), 3);      // after the deletion: the aspect before it
    QCOMPARE(a.changes, 0);         // nothing saved yet
    QCOMPARE(ReadFile("mine.ao"), std::string(kBlock));
    d.show();
    d.Command(kCmdOk);
    QCOMPARE(d.result(), kCmdOk);
    QCOMPARE(a.changes, 1);
    QVERIFY(!Exists("mine.ao.new.tmp"));

    const AspectTable t = LoadAspectTable("mine.ao", true);
    QCOMPARE(t.size(), size_t(4));
    const float angles[4] = {60, 90, 120, 72};
    const uint8_t reserved[4] = {0, 7, 0, 0};
    const int32_t colours[4] = {-1, 255, 0x123456, -1};
    const uint8_t kinds[4] = {3, 2, 4, 1};
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(t[i].angle, angles[i]);
      QCOMPARE(t[i].off, uint8_t(0));
      QCOMPARE(t[i].reserved, reserved[i]);
      QCOMPARE(t[i].colour, colours[i]);
      QCOMPARE(t[i].line_kind, kinds[i]);
      // Orb 22 is never written: it reads 1.0; cusps 7..12 copy cusps 1..6.
      QCOMPARE(t[i].Orb(22), 1.0f);
      for (int p = 23; p <= 28; ++p) QCOMPARE(t[i].Orb(p), t[i].Orb(p - 6));
    }
    const float orbs60[21] = {8.5, 5, 4, 1, 3.25, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4};
    const float orbs90[21] = {8, 7, 6, 5, 4, 3, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2};
    for (int p = 1; p <= 21; ++p) {
      QCOMPARE(t[0].Orb(p), orbs60[p - 1]);
      QCOMPARE(t[1].Orb(p), orbs90[p - 1]);
      QCOMPARE(t[2].Orb(p), p == 1 ? 5.0f : 1.0f);
      QCOMPARE(t[3].Orb(p), 2.0f);
    }
  }

  void aspectDialogCancelLeavesTheFileByteForByte() {
    WriteFile("mine.ao", kBlock);
    for (bool by_key : {false, true}) {
      Answers a;
      DAO d(nullptr, "mine.ao", a.Hooks());
      MakeEdits(d, a);
      d.show();
      if (by_key) QTest::keyClick(OrbField(d, 2), Qt::Key_Escape);
      else d.ControlAs<QPushButton>(kCmdCancel)->click();
      QCOMPARE(d.result(), kCmdCancel);
      QCOMPARE(a.changes, 0);
      QCOMPARE(ReadFile("mine.ao"), std::string(kBlock));
    }
  }

  void lineKindActsAtOnceInTheTableOnly() {
    WriteFile("mine.ao", kBlock);
    Answers a;
    DAO d(nullptr, "mine.ao", a.Hooks());
    d.Select(2);
    ChooseLineKind(d, 0);
    QCOMPARE(d.Table()[2].line_kind, uint8_t(0));
    QVERIFY(!d.ControlAs<QListWidget>(kIdAspectList)->item(2)->text().contains("(t)"));
    d.Select(0);
    QCOMPARE(d.ControlAs<QComboBox>(kIdLineKind)->currentIndex(), 1);
    d.Select(2);
    QCOMPARE(d.ControlAs<QComboBox>(kIdLineKind)->currentIndex(), 0);
    QCOMPARE(ReadFile("mine.ao"), std::string(kBlock));
  }

  void typingSlipsAndDuplicatesChangeNothing() {
    WriteFile("mine.ao", kBlock);
    Answers a;
    DAO d(nullptr, "mine.ao", a.Hooks());
    d.show();
    d.Select(1);
    const AspectRecord before = d.Table()[1];
    OrbField(d, 1)->setText("9");
    OrbField(d, 3)->setText("6,5");
    d.Command(kCmdStoreOrbs);
    QCOMPARE(Warnings().size(), size_t(1));
    QCOMPARE(Warnings().back(), Utf8ToCp1251("Орбис MER: число от 0 до 180"));
    QCOMPARE(d.Table()[1].Orb(1), before.Orb(1));  // nothing stored, not even the good field
    QCOMPARE(d.focusWidget(), static_cast<QWidget*>(OrbField(d, 3)));
    QCOMPARE(OrbField(d, 3)->text(), QString("6,5"));  // kept for correcting
    a.texts = {"90(3)", "x"};
    d.Command(kCmdNewAspect);
    d.Command(kCmdNewAspect);
    QCOMPARE(d.Table().size(), size_t(3));
    QCOMPARE(d.ControlAs<QListWidget>(kIdAspectList)->count(), 3);
    // Cancel in the input line adds nothing and says nothing.
    const size_t shown = Warnings().size();
    d.Command(kCmdNewAspect);
    QCOMPARE(Warnings().size(), shown);
    QCOMPARE(d.Table().size(), size_t(3));
  }

  void deletingEveryAspectLeavesAnEmptyBlock() {
    WriteFile("mine.ao", kBlock);
    Answers a;
    DAO d(nullptr, "mine.ao", a.Hooks());
    d.Select(0);
    for (int i = 0; i < 3; ++i) d.Command(kCmdDeleteAspect);
    QCOMPARE(d.Selected(), -1);
    QVERIFY(!OrbField(d, 1)->isEnabled());
    d.Command(kCmdToggleAspect);  // nothing selected: nothing happens
    d.Command(kCmdStoreOrbs);
    QVERIFY(d.Table().empty());
    d.show();
    d.Command(kCmdOk);
    QVERIFY(LoadAspectTable("mine.ao", true).empty());
    QVERIFY(Exists("mine.ao"));
  }

  void blocksDialogOperations() {
    WriteFile("0.ao", "60 6 S 0 0 -1 1\n");
    WriteFile("b.ao", kBlock);
    WriteFile("notes.txt", "not a block");
    std::string orb_file = "b.ao";
    Answers a;
    DLO d(nullptr, orb_file, a.Hooks());
    QCOMPARE(d.Blocks(), (std::vector<std::string>{"0.ao", "b.ao"}));
    QCOMPARE(d.ControlAs<QLabel>(kIdCurrentBlock)->text(), QString("b.ao"));
    QVERIFY(!d.Control(kCmdCancel));

    // New: a copy of the current block, added to the list; the current one stays.
    a.texts = {"copy.txt"};
    d.Command(kCmdNewBlock);
    QCOMPARE(d.Blocks(), (std::vector<std::string>{"0.ao", "b.ao", "copy.ao"}));
    QCOMPARE(ReadFile("copy.ao"), std::string(kBlock));
    QCOMPARE(orb_file, std::string("b.ao"));
    QCOMPARE(a.changes, 1);
    // Refused names change nothing.
    a.texts = {"my block", "copy"};
    d.Command(kCmdNewBlock);
    d.Command(kCmdNewBlock);
    QCOMPARE(Warnings(), (std::vector<std::string>{"SkF", "exists: copy.ao"}));
    QCOMPARE(d.Blocks().size(), size_t(3));

    // Select as current.
    QVERIFY(d.SelectBlock("copy.ao"));
    d.Command(kCmdSelectBlock);
    QCOMPARE(orb_file, std::string("copy.ao"));
    QCOMPARE(d.ControlAs<QLabel>(kIdCurrentBlock)->text(), QString("copy.ao"));
    QCOMPARE(a.changes, 2);

    // Delete: the text goes at once, the compiled twin stays.
    LoadAspectTable("b.ao", true);
    QVERIFY(Exists("b.aoj"));
    QVERIFY(d.SelectBlock("b.ao"));
    d.Command(kCmdDeleteBlock);
    QVERIFY(!Exists("b.ao"));
    QVERIFY(Exists("b.aoj"));
    QCOMPARE(d.Blocks(), (std::vector<std::string>{"0.ao", "copy.ao"}));
    QCOMPARE(a.changes, 3);
  }

  void blocksDialogEditsTheChosenBlock() {
    WriteFile("0.ao", "60 6 S 0 0 -1 1\n");
    WriteFile("b.ao", kBlock);
    std::string orb_file = "0.ao";
    Answers a;
    DLO d(nullptr, orb_file, a.Hooks());
    QVERIFY(d.SelectBlock("b.ao"));
    QString title;
    int aspects = -1;
    QTimer::singleShot(0, [&] {
      if (auto* dao = qobject_cast<DAO*>(QApplication::activeModalWidget())) {
        title = dao->windowTitle();
        aspects = static_cast<int>(dao->Table().size());
        dao->Command(kCmdToggleAspect);
        dao->Command(kCmdOk);
      }
    });
    d.Command(kCmdEditBlock);
    QCOMPARE(title, QString("b.ao"));
    QCOMPARE(aspects, 3);
    QCOMPARE(LoadAspectTable("b.ao", true)[0].off, uint8_t(1));
    QCOMPARE(a.changes, 1);
    QCOMPARE(orb_file, std::string("0.ao"));
  }

  void colourChooserPresetsTheGreys() {
    const auto greys = ChooserGreys();
    QCOMPARE(greys[0], 0x010101);
    QCOMPARE(greys[1], 0x101010);
    QCOMPARE(greys[15], 0xF0F0F0);
    for (int i = 1; i < 16; ++i) QCOMPARE(greys[i] & 0xFF, 16 * i);

    QColor offered;
    QTimer::singleShot(0, [&] {
      auto* dlg = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
      if (!dlg) return;
      offered = dlg->currentColor();
      dlg->setCurrentColor(QColor(0x10, 0x20, 0x30));
      dlg->accept();
    });
    // 0x0000FF is red in the stored order, and the chosen colour comes back as 0x00BBGGRR.
    QCOMPARE(ChooseColour(nullptr, 0x0000FF), std::optional<int32_t>(0x302010));
    QCOMPARE(offered, QColor(255, 0, 0));
    for (int i = 0; i < 16; ++i) QCOMPARE(RgbFromColour(QColorDialog::customColor(i)), greys[i]);
    QTimer::singleShot(0, [] {
      if (auto* dlg = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) dlg->reject();
    });
    QCOMPARE(ChooseColour(nullptr, 0x0000FF), std::nullopt);
  }

  void inputLineGivesCodePage1251() {
    const TextRequest req{QString::fromUtf8("Новый Аспект"), QString::fromUtf8("Аспект (Орбис)"), "NewAsp", 40};
    QString caption, prompt;
    int max_chars = 0;
    QTimer::singleShot(0, [&] {
      auto* dlg = qobject_cast<DTextInput*>(QApplication::activeModalWidget());
      if (!dlg) return;
      caption = dlg->windowTitle();
      prompt = dlg->ControlAs<QLabel>(kIdPrompt)->text();
      max_chars = dlg->Edit()->maxLength();
      dlg->Edit()->insert(QString::fromUtf8("Трин"));
      QTest::keyClick(dlg->Edit(), Qt::Key_Return);
    });
    QCOMPARE(AskText(nullptr, req), std::optional<std::string>(Utf8ToCp1251("Трин")));
    QCOMPARE(caption, req.caption);
    QCOMPARE(prompt, req.prompt);
    QCOMPARE(max_chars, 40);
    QTimer::singleShot(0, [] {
      if (auto* dlg = qobject_cast<DTextInput*>(QApplication::activeModalWidget()))
        QTest::keyClick(dlg->Edit(), Qt::Key_Escape);
    });
    QCOMPARE(AskText(nullptr, req), std::nullopt);
  }
};

}  // namespace kv

QTEST_MAIN(kv::OrbDialogsTest)
#include "orb_dialogs_test.moc"
