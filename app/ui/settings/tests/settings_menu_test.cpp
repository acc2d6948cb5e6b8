// The settings menu in the program's main window: the commands come alive, an open
// chart redraws at once with a new direction, origin, planet mask and orb block
// (checked on the window's own geometry and pixels), and the settings written at exit
// carry exactly the changes made (the user status deciding the chart dialog on the way).
#include <QAbstractButton>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "app/compose/settings_menu.h"
#include "app/settings/program_settings.h"
#include "app/ui/dcli.h"
#include "app/ui/dframe.h"
#include "app/ui/duapp.h"
#include "app/ui/menu_commands.h"
#include "app/ui/settings/dintr.h"
#include "app/ui/settings/dmask.h"
#include "app/ui/settings/dprints.h"
#include "app/ui/settings/dset.h"
#include "app/ui/settings/dstatus.h"
#include "app/ui/settings/tests/modal_helpers.h"
#include "aspects/ui/dao.h"
#include "aspects/ui/dlo.h"
#include "chart/ui/dkart.h"
#include "chart/ui/open_chart.h"
#include "chart/wheel/chart_texts.h"
#include "chart/wheel/wheel_style.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/tests/russian_locale.h"
#include "common/tokens.h"
#include "common/ui/window_hooks.h"

namespace kv {
namespace {

void Ignore(const std::string&) {}

// The option bytes as the settings file writes them: "%d " each, two more blanks
// before every tenth.
std::string OvLine(const std::array<int, kOptionBytes>& ov) {
  std::string s = "Ov=";
  for (int i = 0; i < kOptionBytes; ++i) s += (i > 0 && i % 10 == 0 ? "  " : "") + std::to_string(ov[i]) + " ";
  return s;
}

std::array<int, kOptionBytes> StartBytes() {
  std::array<int, kOptionBytes> ov{};
  ov[kOptClockwise] = ov[kOptAscendantOrigin] = ov[kOptMaximised] = ov[kOptExactTime] = 1;
  return ov;  // ordinary user, no fills
}

// A settings file as the program writes it; the aspected mask carries the cusps.
std::vector<std::string> StartLines() {
  return {"JD=05.03.1961 14:07:00", "GMTH=-3.00000000", "LAT=55.45000000", "LONG=37.37000000",
          Utf8ToCp1251("NAME=Пример"), Utf8ToCp1251("MESTO=Москва"), "SEX=0", "BASA=a",
          "MaskP=65535", "MaskA=268435455", OvLine(StartBytes()), "HouseSet=3", "RGN=0",
          "Razd=0", "Town=", "ORBFILE=0.ao", "NamRed=", "InterV=01.01.2005-31.12.2005",
          "LP= 1023 3 1023 0 0 0 0 0 0 0   0 0 0 0 0 0 0 0 0 0",
          "ColKvi= -1 -1 -1 -1 -1 -1 -1 -1 -1 -1   -1 -1 -1 -1 -1", "Lf=72", "LfP=72", "Fp=20"};
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

std::vector<std::string> FileLines(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  std::vector<std::string> lines;
  for (const QByteArray& l : f.readAll().split('\n'))
    if (!l.isEmpty()) lines.push_back(l.toStdString());
  return lines;
}

// Pixels of a colour family in a square around a point.
int CountNear(const QImage& img, DevicePoint c, int half, bool (*is)(QRgb)) {
  int n = 0;
  for (int y = c.y - half; y <= c.y + half; ++y)
    for (int x = c.x - half; x <= c.x + half; ++x)
      if (img.rect().contains(x, y) && is(img.pixel(x, y))) ++n;
  return n;
}
bool Reddish(QRgb p) { return qRed(p) > 180 && qGreen(p) < 90 && qBlue(p) < 90; }
bool Bluish(QRgb p) { return qBlue(p) > 180 && qRed(p) < 90 && qGreen(p) < 90; }
bool Magentaish(QRgb p) { return qRed(p) > 180 && qBlue(p) > 180 && qGreen(p) < 90; }

// How many of 41 points along the chord of two longitudes at radius RA are red.
int RedAlongChord(const QImage& img, const WheelGeometry& g, double lon_a, double lon_b) {
  const DevicePoint a = g.map.PointAt(lon_a, g.RA), b = g.map.PointAt(lon_b, g.RA);
  int n = 0;
  for (int i = 0; i <= 40; ++i) {
    const double t = 0.1 + 0.02 * i;
    const DevicePoint p{static_cast<int>(a.x + t * (b.x - a.x)), static_cast<int>(a.y + t * (b.y - a.y))};
    if (CountNear(img, p, 1, &Reddish) > 0) ++n;
  }
  return n;
}

bool HasLineOf(const std::vector<AspectLine>& lines, int body) {
  for (const AspectLine& l : lines)
    if (l.a == body || l.b == body) return true;
  return false;
}

// Bodies 20 degrees apart from 5 degrees on (Mars at 85: a sextile to the Moon and to
// Uranus, a trine to the node), cusps every 30 degrees from the Ascendant at 100.
ChartRecord SampleChart() {
  ChartRecord rec = DefaultChartRecord();
  for (int i = 1; i <= kBodyCount; ++i) {
    rec.lon[i] = 5.0 + 20.0 * (i - 1);
    rec.speed[i] = 1.0;
  }
  for (int k = 0; k < 12; ++k) rec.lon[kFirstCusp + k] = std::fmod(100.0 + 30.0 * k, 360.0);
  rec.house_system = 3;
  rec.jd_local = rec.jd_ut = rec.jd_calc = 2451545.0;
  SetChartText(rec.name, "Sample");
  return rec;
}

constexpr int kMars = 5;
constexpr double kAscendant = 100.0;

}  // namespace

class SettingsMenuTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  DUApp app_;
  DKart* kart_ = nullptr;

  // The chart window after the paints the last command asked for (no grab: a window
  // that was not asked to repaint keeps its old geometry).
  const WheelGeometry& Painted() {
    QTest::qWait(30);
    return kart_->Geometry();
  }
  QImage Picture() { return kart_->grab().toImage(); }

  void ResetSettings() {
    QFile f("kvi.ini");
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray::fromStdString(Joined(StartLines())));
    f.close();
    AppSettings() = Settings{};
    LoadProgramSettings(AppSettings(), Resources(), AppLists());
  }

 private slots:
  void initTestCase() {
    // The run in the users' locale must really have its decimal comma.
    if (qEnvironmentVariableIsSet("KV_REQUIRE_DECIMAL_COMMA")) QVERIFY(testing::DecimalCommaInForce());
    QVERIFY(dir_.isValid());
    QDir::setCurrent(dir_.path());
    for (const char* f : {"kvima.t", "0.ao", "atm.ttf", "daycour.ttf"})
      QVERIFY(QFile::copy(QStringLiteral(KV_WORKDIR "/") + f, f));
    SetMessageSink({&Ignore, &Ignore});
    InstallResourceLookup();
    ResetSettings();
    app_.InitMainWindow();
    for (int id : {305, 306, 307, 308}) QVERIFY(!app_.Frame()->ActionFor(id)->isEnabled());
    // The chart windows and the settings listener as the composition connects them.
    SetMainClientFinder([this]() -> QMdiArea* { return app_.Client(); });
    ChartWindowHooks hooks;
    hooks.wheel_settings = [] { return WheelSettingsFrom(AppSettings()); };
    hooks.texts = ChartTextsFrom(Resources());
    SetChartWindowHooks(std::move(hooks));
    SetSettingsListener(&RepaintOpenCharts);
    ConnectSettingsMenu(app_);
    for (int id : {305, 306, 307, 308, 311}) QVERIFY(app_.Frame()->ActionFor(id)->isEnabled());
    app_.Frame()->resize(1000, 760);
    app_.Frame()->show();
    QVERIFY(QTest::qWaitForWindowExposed(app_.Frame()));
  }

  void openChartRedrawsWithDirectionOriginMaskAndOrbs() {
    ResetSettings();
    AppSettings().ov[kOptAstrologer] = 1;
    kart_ = OpenChartWindow(SampleChart());
    QVERIFY(kart_);
    WheelGeometry g = Painted();
    QVERIFY(g.R1 > 100);
    QVERIFY(g.map.clockwise);
    QCOMPARE(g.map.ScreenAngle(kAscendant), 0.0);  // on the right
    // Where the Ascendant's glyph goes once the zodiac runs counter-clockwise.
    const auto asc_glyph = [](const WheelGeometry& w) { return w.map.PointAt(kAscendant + 5, 17.0 * w.R1 / 16); };
    AngleMapping ccw = g.map;
    ccw.clockwise = false;
    const DevicePoint left_glyph = ccw.PointAt(kAscendant + 5, 17.0 * g.R1 / 16);
    QCOMPARE(CountNear(Picture(), left_glyph, g.R1 / 30, &Reddish), 0);

    // Counter-clockwise: the Ascendant on the left, the zodiac running counter-clockwise.
    test::WhenModal<DSet>([](DSet* d) {
      d->ControlAs<QAbstractButton>(kIdCounterClockwise)->click();
      d->Command(kCmdOk);
    });
    app_.Command(kCmdSettingsChart);
    g = Painted();
    QVERIFY(!g.map.clockwise);
    QCOMPARE(g.map.ScreenAngle(kAscendant), 180.0);
    // Later signs lie at smaller screen angles: counter-clockwise on a screen whose y runs down.
    for (double lon : {0.0, 130.0, 250.0})
      QCOMPARE(std::fmod(g.map.ScreenAngle(lon) - g.map.ScreenAngle(lon + 30) + 360, 360.0), 30.0);
    QImage img = Picture();
    QVERIFY(CountNear(img, asc_glyph(g), g.R1 / 30, &Reddish) > 5);
    QCOMPARE(asc_glyph(g).x, left_glyph.x);
    for (int sign = 1; sign <= 12; ++sign)
      QVERIFY2(CountNear(img, g.map.PointAt(30.0 * sign - 15, (g.R1 + g.R2) / 2), g.R1 / 30, &Bluish) > 5,
               qPrintable(QString::number(sign)));

    // Origin 0° Aries: Aries begins on the left, the Ascendant moves with its longitude.
    test::WhenModal<DSet>([](DSet* d) {
      d->ControlAs<QAbstractButton>(kIdOriginAries)->click();
      d->Command(kCmdOk);
    });
    app_.Command(kCmdSettingsChart);
    g = Painted();
    QCOMPARE(g.map.rotation, 0.0);
    QCOMPARE(g.map.ScreenAngle(0.0), 180.0);
    img = Picture();
    QVERIFY(CountNear(img, g.map.PointAt(15, (g.R1 + g.R2) / 2), g.R1 / 30, &Bluish) > 5);
    QVERIFY(g.map.PointAt(15, g.R2).x < g.map.cx);
    QVERIFY(CountNear(img, asc_glyph(g), g.R1 / 30, &Reddish) > 5);
    QCOMPARE(CountNear(img, left_glyph, g.R1 / 30, &Reddish), 0);

    // Mars switched off in "MaskP" (then the chart settings cancelled: the mask acts at
    // once): its glyph and its aspect lines go.
    const double mars = kart_->Chart().lon[kMars], uranus = kart_->Chart().lon[8];
    QVERIFY(HasLineOf(SelectAspectLines(kart_->Aspects(), WheelSettingsFrom(AppSettings()), true), kMars));
    const DevicePoint mars_glyph = g.map.PointAt(mars, g.glyph_radius[kMars]);
    QVERIFY(CountNear(img, mars_glyph, g.R1 / 30, &Magentaish) > 5);
    QVERIFY(RedAlongChord(img, g, mars, uranus) >= 38);
    test::WhenModal<DSet>([](DSet* d) {
      test::WhenModal<DMask>([](DMask* m) {
        m->ControlAs<QAbstractButton>(kIdFirstPlanetBox + kMars - 1)->click();
        m->Command(kCmdOk);
      });
      d->Command(kCmdActivePlanets);
      d->Command(kCmdCancel);
    });
    app_.Command(kCmdSettingsChart);
    g = Painted();
    QCOMPARE(g.glyph_radius[kMars], kNoGlyph);
    QVERIFY(!HasLineOf(SelectAspectLines(kart_->Aspects(), WheelSettingsFrom(AppSettings()), true), kMars));
    img = Picture();
    QCOMPARE(CountNear(img, mars_glyph, g.R1 / 30, &Magentaish), 0);
    QVERIFY(RedAlongChord(img, g, mars, uranus) <= 13);  // only where other lines cross it

    // The sextile switched off in the current block: the open chart finds it no more.
    QCOMPARE(kart_->Aspects().Aspect(1, 4), 60.0f);  // Sun at 5, Venus at 65
    test::WhenModal<DSet>([](DSet* d) {
      test::WhenModal<DLO>([](DLO* blocks) {
        test::WhenModal<DAO>([](DAO* aspects) {
          for (size_t i = 0; i < aspects->Table().size(); ++i)
            if (aspects->Table()[i].angle == 60.0f) aspects->Select(static_cast<int>(i));
          aspects->Command(kCmdToggleAspect);
          aspects->Command(kCmdOk);
        });
        blocks->SelectBlock("0.ao");
        blocks->Command(kCmdEditBlock);
        blocks->Command(kCmdOk);
      });
      d->Command(kCmdOrbBlocks);
      d->Command(kCmdOk);
    });
    app_.Command(kCmdSettingsChart);
    QCOMPARE(kart_->Aspects().Aspect(1, 4), kNoAspect);
    delete kart_->parentWidget();  // the chart's MDI frame
    kart_ = nullptr;
  }

  void settingsWrittenAtExitCarryExactlyTheChanges() {
    ResetSettings();
    // The ordinary user gets dialog 1023; the astrologer, once the status says so, 1003.
    int shown = 0;
    test::WhenModal<DSet>([&](DSet* d) {
      shown = d->ResourceId();
      d->Command(kCmdCancel);
    });
    app_.Command(kCmdSettingsChart);
    QCOMPARE(shown, kUserSettingsResource);
    test::WhenModal<DStatus>([](DStatus* d) {
      d->ControlAs<QAbstractButton>(kIdAstrologer)->click();
      d->Command(kCmdOk);
    });
    app_.Command(kCmdSettingsUserStatus);
    test::WhenModal<DSet>([&](DSet* d) {
      shown = d->ResourceId();
      d->ControlAs<QAbstractButton>(kIdCounterClockwise)->click();
      d->ControlAs<QAbstractButton>(kIdFirstZodiacFill + 2)->click();
      auto* houses = d->ControlAs<QComboBox>(kIdHouseSystemCombo);
      houses->setCurrentIndex(houses->findData(6));
      d->SelectColourElement(1);
      test::WhenModal<QColorDialog>([](QColorDialog* c) {
        c->setCurrentColor(QColor(0, 255, 0));
        c->accept();
      });
      d->Command(kCmdSetColour);
      test::WhenModal<DMask>([](DMask* m) {
        m->ControlAs<QAbstractButton>(kIdFirstPlanetBox + 2)->click();
        m->Command(kCmdOk);
      });
      d->Command(kCmdAspectedPlanets);
      d->Command(kCmdOk);
    });
    app_.Command(kCmdSettingsChart);
    QCOMPARE(shown, kAstrologerSettingsResource);
    test::WhenModal<DIntr>([](DIntr* d) {
      d->SetEditText(kIdScreenLine, "80");
      d->SetEditText(kIdPrintMargin, "15");
      d->ControlAs<QAbstractButton>(kIdFirstSignText)->click();
      d->Command(kCmdOk);
    });
    app_.Command(kCmdSettingsInterpretation);
    test::WhenModal<DPrintS>([](DPrintS* d) {
      d->ControlAs<QAbstractButton>(kIdPrinterMono)->click();
      d->Command(kCmdOk);
    });
    app_.Command(kCmdSettingsPrinter);

    // The exit sequence saves before it asks; "Нет" keeps the program running.
    QFile::remove("kvi.ini");
    QTimer::singleShot(50, [] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
        box->button(QMessageBox::No)->click();
    });
    QVERIFY(!ConfirmExit(app_.Frame()));

    std::array<int, kOptionBytes> ov = StartBytes();
    ov[kOptPrinterMono] = 1;
    ov[kOptScreenFill] = 2;
    ov[kOptClockwise] = 0;
    ov[kOptAstrologer] = 1;
    std::vector<std::string> expected = StartLines();
    for (std::string& line : expected) {
      const std::string key = line.substr(0, line.find('='));
      if (key == "MaskA") line = "MaskA=65531";
      else if (key == "Ov") line = OvLine(ov);
      else if (key == "HouseSet") line = "HouseSet=6";
      else if (key == "LP") line = "LP= 1022 3 1023 0 0 0 0 0 0 0   0 0 0 0 0 0 0 0 0 0";
      else if (key == "ColKvi") line = "ColKvi= -1 65280 -1 -1 -1 -1 -1 -1 -1 -1   -1 -1 -1 -1 -1";
      else if (key == "Lf") line = "Lf=80";
      else if (key == "Fp") line = "Fp=15";
    }
    const std::vector<std::string> written = FileLines("kvi.ini");
    QCOMPARE(written.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) QCOMPARE(written[i], expected[i]);

    // And the file reads back to the same settings.
    Settings back;
    QVERIFY(ReadSettingsFile("kvi.ini", back));
    QCOMPARE(FormatSettingsText(back), FormatSettingsText(AppSettings()));
  }
};

}  // namespace kv

QTEST_MAIN(kv::SettingsMenuTest)
#include "settings_menu_test.moc"
