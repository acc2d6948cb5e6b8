// The settings dialogs on settings of their own, with the program's text resources:
// which dialog each user status gets, every control preset from the settings, OK
// setting exactly what the dialog owns, Cancel keeping it, the buttons that act at
// once, and the refused text layout. (The user-status dialog and the orb blocks behind
// the chart settings are driven through the menu in settings_menu_test.)
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPageSetupDialog>
#include <QPdfWriter>
#include <QAbstractButton>
#include <QTest>

#include "app/ui/settings/dintr.h"
#include "app/ui/settings/dmask.h"
#include "app/ui/settings/dprints.h"
#include "app/ui/settings/dset.h"
#include "app/ui/settings/dstatus.h"
#include "app/ui/settings/tests/modal_helpers.h"
#include "chart/wheel/wheel_style.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/tests/russian_locale.h"
#include "common/text_resources.h"
#include "common/tokens.h"
#include "common/ui/page_layout.h"
#include "common/ui/qt_text.h"
#include "common/ui/window_hooks.h"

namespace kv {
namespace {

std::vector<std::string>& Warnings() {
  static std::vector<std::string> shown;
  return shown;
}
void Capture(const std::string& text) { Warnings().push_back(text); }

bool Checked(const Dial& d, int id) { return d.ControlAs<QAbstractButton>(id)->isChecked(); }
void Click(const Dial& d, int id) { d.ControlAs<QAbstractButton>(id)->click(); }

void ExpectSame(const Settings& a, const Settings& b) {
  QCOMPARE(FormatSettingsText(a), FormatSettingsText(b));
  QCOMPARE(a.text_font, b.text_font);
}

Settings Astrologer() {
  Settings s;
  s.ov[kOptAstrologer] = 1;
  return s;
}

}  // namespace

class SettingsDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // The run in the users' locale must really have its decimal comma.
    if (qEnvironmentVariableIsSet("KV_REQUIRE_DECIMAL_COMMA")) QVERIFY(testing::DecimalCommaInForce());
    InstallResourceLookup();
    QVERIFY(Resources().LoadFile(KV_WORKDIR "/kvima.t"));
    SetMessageSink({&Capture, &Capture});
  }
  void init() { Warnings().clear(); }

  void chartSettingsDialogFollowsTheUserStatus() {
    Settings s;
    s.ov[kOptAstrologer] = 0;
    DSet user(nullptr, s);
    QCOMPARE(user.ResourceId(), kUserSettingsResource);
    for (int id : {kIdOriginGroup, kIdDirectionGroup, kIdOriginAries, kIdCounterClockwise,
                   kCmdActivePlanets, kCmdAspectedPlanets, kCmdOrbBlocks})
      QVERIFY2(!user.Control(id), qPrintable(QString::number(id)));
    for (int id : {213, 222, kIdPrintLegendChart, kIdHouseSystemCombo, kCmdRestoreAllColours})
      QVERIFY2(user.Control(id), qPrintable(QString::number(id)));
    // Nothing the ordinary user is not shown may change through the dialog.
    s.ov[kOptAscendantOrigin] = 1;
    s.ov[kOptClockwise] = 1;
    const Settings before = s;
    user.Command(kCmdActivePlanets);
    user.Command(kCmdOrbBlocks);
    user.show();
    user.Command(kCmdOk);
    ExpectSame(s, before);

    s.ov[kOptAstrologer] = 1;
    DSet astrologer(nullptr, s);
    QCOMPARE(astrologer.ResourceId(), kAstrologerSettingsResource);
    for (int id : {kIdOriginAries, kIdCounterClockwise, kCmdActivePlanets, kCmdAspectedPlanets, kCmdOrbBlocks})
      QVERIFY(astrologer.Control(id));
  }

  void chartSettingsPresetOkAndCancel() {
    for (bool ok : {true, false}) {
      Settings s = Astrologer();
      s.ov[kOptAscendantOrigin] = 0;
      s.ov[kOptClockwise] = 0;
      s.ov[kOptMaximised] = 0;
      s.ov[kOptPrintLegend] = 1;
      s.ov[kOptScreenFill] = 2;
      s.ov[kOptHouseFill] = 1;
      s.ov[kOptTextFont] = 2;
      s.house_system = 10;
      const Settings before = s;
      int changes = 0;
      ChartSettingsHooks hooks;
      hooks.changed = [&] { ++changes; };
      DSet d(nullptr, s, hooks);
      for (int id : {kIdOriginAries, kIdCounterClockwise, 212, 221, kIdPlanetRingFill, kIdPrintLegendChart})
        QVERIFY2(Checked(d, id), qPrintable(QString::number(id)));
      for (int id : {kIdOriginAscendant, kIdClockwise, 210, 211, 213, 220, 222, kIdMaximise})
        QVERIFY2(!Checked(d, id), qPrintable(QString::number(id)));
      auto* font = d.ControlAs<QComboBox>(kIdFontCombo);
      const std::vector<std::string> shr = Split(Text("Shr"), '/');
      QCOMPARE(font->count(), static_cast<int>(shr.size()));
      QCOMPARE(font->currentText(), FromCp1251(shr[2]));
      auto* houses = d.ControlAs<QComboBox>(kIdHouseSystemCombo);
      QCOMPARE(houses->count(), 12);
      QCOMPARE(houses->currentText(), FromCp1251(Resources().LookupIndexed(10, "HOUS")));
      const std::vector<std::string> colg = Split(Text("ColG"), '/');
      QCOMPARE(d.ControlAs<QListWidget>(kIdColourList)->count(), static_cast<int>(colg.size()));

      for (int id : {kIdOriginAscendant, kIdClockwise, kIdMaximise, kIdPlanetRingFill, 213, 222}) Click(d, id);
      font->setCurrentIndex(3);
      houses->setCurrentIndex(houses->findData(6));
      d.show();
      d.Command(ok ? kCmdOk : kCmdCancel);
      Settings expected = before;
      if (ok) {
        expected.ov[kOptAscendantOrigin] = 1;
        expected.ov[kOptClockwise] = 1;
        expected.ov[kOptMaximised] = 1;
        expected.ov[kOptPlanetRingFill] = 0;
        expected.ov[kOptScreenFill] = 3;
        expected.ov[kOptHouseFill] = 2;
        expected.ov[kOptTextFont] = 3;
        expected.text_font = shr[3];
        expected.house_system = 6;
      }
      ExpectSame(s, expected);
      QCOMPARE(changes, ok ? 1 : 0);
    }
  }

  void colourButtonsActAtOnce() {
    Settings s = Astrologer();
    s.colours.fill(255);
    s.colours[3] = kBuiltInColour;
    int32_t offered = 0;
    std::optional<int32_t> answer = 0x00A0B0C0;
    int changes = 0;
    ChartSettingsHooks hooks;
    hooks.pick_colour = [&](QWidget*, int32_t initial) {
      offered = initial;
      return answer;
    };
    hooks.changed = [&] { ++changes; };
    DSet d(nullptr, s, hooks);
    d.SelectColourElement(1);
    d.Command(kCmdSetColour);
    QCOMPARE(offered, 255);  // the table's own value
    QCOMPARE(s.colours[1], 0x00A0B0C0);
    d.SelectColourElement(3);
    answer = std::nullopt;  // the chooser cancelled: nothing changes
    emit d.ControlAs<QListWidget>(kIdColourList)->itemDoubleClicked(d.ControlAs<QListWidget>(kIdColourList)->item(3));
    QCOMPARE(offered, static_cast<int32_t>(BuiltInColour(3)));  // -1: the built-in colour
    QCOMPARE(s.colours[3], kBuiltInColour);
    d.SelectColourElement(1);
    d.Command(kCmdRestoreColour);
    QCOMPARE(s.colours[1], kBuiltInColour);
    QCOMPARE(s.colours[2], 255);
    d.Command(kCmdRestoreAllColours);
    d.show();
    d.Command(kCmdCancel);
    for (int32_t c : s.colours) QCOMPARE(c, kBuiltInColour);
    QCOMPARE(changes, 3);
  }

  void maskButtonsSetTheMasksAtOnce() {
    Settings s = Astrologer();
    s.aspected_mask = 0x0FFFFFFF;  // cusps aspected, as a hand-edited kvi.ini may have it
    s.planet_mask = 0x10005;
    DSet d(nullptr, s);
    d.show();
    QString caption;
    test::WhenModal<DMask>([&](DMask* m) {
      caption = m->windowTitle();
      QVERIFY(Checked(*m, 516));
      Click(*m, 503);  // Mercury off
      m->Command(kCmdOk);
    });
    d.Command(kCmdAspectedPlanets);
    QCOMPARE(caption, QString::fromUtf8("Аспектируемые планеты"));
    QCOMPARE(s.aspected_mask, 0xFFFB);
    test::WhenModal<DMask>([&](DMask* m) {
      caption = m->windowTitle();
      m->Command(kCmdMarkAll);
      m->Command(kCmdOk);
    });
    d.Command(kCmdActivePlanets);
    QCOMPARE(caption.trimmed(), QString::fromUtf8("Выбор активных планет"));
    QCOMPARE(s.planet_mask, 0xFFFF);
    d.Command(kCmdCancel);
    QCOMPARE(s.aspected_mask, 0xFFFB);

    // The cusps no longer take part in aspect lines, with option 13 on.
    AspectMatrix m{};
    for (int a = 1; a <= kOrbPoints; ++a)
      for (int b = a + 1; b <= kOrbPoints; ++b) m.cell[a - 1][b - 1] = 60.0f;
    WheelSettings ws = WheelSettingsFrom(s);
    ws.ov[kOptCuspAspects] = 1;
    const auto lines = SelectAspectLines(m, ws, true);
    QVERIFY(!lines.empty());
    for (const AspectLine& l : lines) QVERIFY(l.b <= 16 && l.a != 3 && l.b != 3);
  }

  void interpretationSettingsPresetAndOk() {
    Settings s;
    s.lp = {0x0005, 2, 0x8000, 77};
    s.chars_per_line = 72;
    DIntr d(nullptr, s);
    QCOMPARE(d.ResourceId(), kInterpretationSettingsResource);
    for (int id : {501, 503, 532, kIdMidheavenText}) QVERIFY2(Checked(d, id), qPrintable(QString::number(id)));
    for (int id : {502, 516, 517, kIdAscendantText, kIdJustify}) QVERIFY(!Checked(d, id));
    QCOMPARE(d.EditText(kIdScreenLine), std::string("72"));
    QCOMPARE(d.ControlAs<QLineEdit>(kIdPrintMargin)->maxLength(), kLayoutFieldChars);
    for (int id : {502, 532, kIdAscendantText, kIdJustify}) Click(d, id);
    d.SetEditText(kIdScreenLine, "80");
    d.SetEditText(kIdPrintLine, " 100");
    d.SetEditText(kIdPrintMargin, "0");
    Settings expected = s;
    expected.lp[0] = 0x0007;
    expected.lp[1] = 3;
    expected.lp[2] = 0;
    expected.ov[kOptJustify] = 1;
    expected.chars_per_line = 80;
    expected.chars_per_print_line = 100;
    expected.print_margin_mm = 0;
    d.show();
    d.Command(kCmdOk);
    QCOMPARE(d.result(), kCmdOk);
    ExpectSame(s, expected);
  }

  void interpretationCancelKeepsTheLineWidth() {
    Settings s;
    s.chars_per_line = 64;
    DIntr d(nullptr, s);
    d.SetEditText(kIdScreenLine, "100");
    Click(d, 501);
    d.show();
    QTest::keyClick(d.ControlAs<QLineEdit>(kIdScreenLine), Qt::Key_Escape);
    QCOMPARE(d.result(), kCmdCancel);
    QCOMPARE(s.chars_per_line, int16_t(64));
    QCOMPARE(s.lp[0], 0);
  }

  void interpretationRefusesALayoutOutsideItsRange() {
    const struct {
      int id;
      const char* text;
      const char* key;
      const char* names;  // the field, as the message names it
    } cases[] = {
        {kIdScreenLine, "19", "ChkLf", "на экране"}, {kIdScreenLine, "201", "ChkLf", "на экране"},
        {kIdScreenLine, "", "ChkLf", "на экране"},   {kIdScreenLine, "7x", "ChkLf", "на экране"},
        {kIdPrintLine, "0", "ChkLfP", "на печати"},  {kIdPrintLine, "abc", "ChkLfP", "на печати"},
        {kIdScreenLine, "72.0", "ChkLf", "на экране"}, {kIdScreenLine, "1e2", "ChkLf", "на экране"},
        {kIdPrintMargin, "-1", "ChkFp", "поле"},     {kIdPrintMargin, "101", "ChkFp", "поле"},
        {kIdPrintMargin, "1,5", "ChkFp", "поле"},
    };
    for (const auto& c : cases) {
      Settings s;
      const Settings before = s;
      DIntr d(nullptr, s);
      Click(d, 505);
      d.SetEditText(c.id, c.text);
      d.show();
      Warnings().clear();
      d.Command(kCmdOk);
      QVERIFY2(d.isVisible(), c.text);
      QCOMPARE(Warnings().size(), size_t(1));
      QCOMPARE(Warnings()[0], Text(c.key));
      QVERIFY(FromCp1251(Warnings()[0]).contains(QString::fromUtf8(c.names)));
      QCOMPARE(d.focusWidget(), d.Control(c.id));
      ExpectSame(s, before);  // not even the check box went in
      d.SetEditText(c.id, c.id == kIdPrintMargin ? " 0 " : "200");  // the edges are taken
      d.Command(kCmdOk);
      QVERIFY(!d.isVisible());
      QCOMPARE(s.lp[0], 1 << 4);
    }
  }

  void printerSettingsOkAndPageLayout() {
    Settings s;
    s.ov[kOptPrintFill] = 9;  // outside the group: kept unless chosen
    DPrintS d(nullptr, s);
    for (int id = kIdFirstPrintFill; id < kIdFirstPrintFill + 5; ++id) QVERIFY(!Checked(d, id));
    QVERIFY(Checked(d, kIdFirstLineWidth));
    for (int id : {kIdPrintDialogFirst, kIdPrinterLowMemory, kIdPrintLegend, 223}) Click(d, id);
    Settings expected = s;
    expected.ov[kOptPrintDialog] = 1;
    expected.ov[kOptPrinterLowMemory] = 1;
    expected.ov[kOptPrintLegend] = 1;
    expected.ov[kOptPrintLineWidth] = 3;

    // "Макет страницы": Qt's page setup, its layout kept for every printout at once.
    ProgramPageLayout().reset();
    d.show();
    test::WhenModal<QPageSetupDialog>([](QPageSetupDialog* p) { p->accept(); });
    d.Command(kCmdPageLayout);
    QVERIFY(ProgramPageLayout());
    ProgramPageLayout() = QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(7, 8, 9, 10));
    QPdfWriter pdf(QDir::temp().filePath("kv_page_layout_test.pdf"));
    ApplyProgramPageLayout(pdf);
    QCOMPARE(pdf.pageLayout().pageSize().id(), QPageSize::A5);
    QCOMPARE(pdf.pageLayout().orientation(), QPageLayout::Landscape);
    ProgramPageLayout().reset();

    d.Command(kCmdOk);
    ExpectSame(s, expected);
  }

  // Every dialog whose OK changes what a chart reads tells the open windows, once;
  // Cancel and a refused OK tell nobody.
  void okOfEachDialogTellsTheOpenWindows() {
    int told = 0;
    const SettingsListener old = SetSettingsListener([&] { ++told; });
    Settings s = Astrologer();
    const auto ok = [&](Dial& d) {
      told = 0;
      d.show();
      d.Command(kCmdOk);
      return told;
    };
    {
      DIntr d(nullptr, s);
      d.SetEditText(kIdScreenLine, "19");
      QCOMPARE(ok(d), 0);
      QVERIFY(d.isVisible());
      d.SetEditText(kIdScreenLine, "80");
      QCOMPARE(ok(d), 1);
    }
    {
      DPrintS d(nullptr, s);
      Click(d, kIdPrintLegend);
      QCOMPARE(ok(d), 1);
      QCOMPARE(s.ov[kOptPrintLegend], uint8_t(1));
    }
    {
      DStatus d(nullptr, s);
      Click(d, kIdOrdinaryUser);
      QCOMPARE(ok(d), 1);
      QCOMPARE(s.ov[kOptAstrologer], uint8_t(0));
    }
    {
      told = 0;
      DStatus d(nullptr, s);
      d.show();
      d.Command(kCmdCancel);
      QCOMPARE(told, 0);
    }
    SetSettingsListener(old);
  }
};

}  // namespace kv

QTEST_MAIN(kv::SettingsDialogsTest)
#include "settings_dialogs_test.moc"
