// Pictures of the settings dialogs and of a chart window redrawn by them, for the
// documentation:
//   settings_shots WORKDIR OUTDIR
// WORKDIR holds kvima.t, kvi.ini, 0.ao, the fonts and the ephemeris pointer; nothing
// there is written. Run under a display (xvfb-run).
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QTest>

#include "app/settings/program_settings.h"
#include "app/ui/settings/dintr.h"
#include "app/ui/settings/dmask.h"
#include "app/ui/settings/dprints.h"
#include "app/ui/settings/dset.h"
#include "app/ui/settings/dstatus.h"
#include "aspects/ui/dao.h"
#include "aspects/ui/dlo.h"
#include "astro/ephemeris/ephemeris.h"
#include "chart/calc/chart_calc.h"
#include "chart/ui/dkart.h"
#include "chart/ui/open_chart.h"
#include "chart/wheel/chart_texts.h"
#include "common/ui/message_boxes.h"
#include "common/ui/tests/caption_shot.h"
#include "common/ui/window_hooks.h"

namespace {

QString g_out;
bool g_ok = true;

// The widget's picture under a plain title bar with its caption (Xvfb has no window
// manager to draw one).
void Save(QWidget& w, const char* name, bool caption = true) {
  w.show();
  QTest::qWait(200);
  g_ok = kv::test::SaveWithCaption(w, g_out + "/" + name, caption) && g_ok;
}

void Click(kv::Dial& d, int id) { d.ControlAs<QAbstractButton>(id)->click(); }

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) return 2;
  const QString work = QString::fromLocal8Bit(argv[1]);
  g_out = QString::fromLocal8Bit(argv[2]);
  QDir::setCurrent(work);
  for (const char* f : {"atm.ttf", "daycour.ttf"}) QFontDatabase::addApplicationFont(work + "/" + f);
  kv::InstallResourceLookup();
  kv::InstallMessageBoxes();
  kv::Settings& s = kv::AppSettings();
  kv::LoadProgramSettings(s, kv::Resources(), kv::AppLists());
  s.ov[kv::kOptAstrologer] = 1;
  if (!kv::InitEphemeris().ok()) return 1;
  // The chart window paints with the program's settings, and the dialogs' changes
  // reach it, as the composition connects them.
  kv::ChartWindowHooks chart_hooks;
  chart_hooks.wheel_settings = [&s] { return kv::WheelSettingsFrom(s); };
  chart_hooks.texts = kv::ChartTextsFrom(kv::Resources());
  kv::SetChartWindowHooks(std::move(chart_hooks));
  kv::SetSettingsListener(&kv::RepaintOpenCharts);

  const kv::ChartRecord start = kv::ChartRecordOf(s.startup);
  kv::ChartRecord rec = start;
  kv::SetBirthMoment(rec, rec.jd_local, rec.correction_h);
  rec.house_system = s.house_system;
  if (kv::CalculateChart(rec, &start, 1, {}) != 0) return 1;
  kv::DKart kart(1, rec);
  kart.resize(820, 560);
  kart.setWindowTitle(QString());
  Save(kart, "chart-clockwise.png", false);

  {
    kv::DSet d(nullptr, s);
    Click(d, kv::kIdCounterClockwise);
    Save(d, "settings-chart.png");
    d.Command(kv::kCmdOk);
  }
  Save(kart, "chart-counter-clockwise.png", false);
  {
    kv::DSet d(nullptr, s);
    Click(d, kv::kIdOriginAries);
    d.Command(kv::kCmdOk);
  }
  Save(kart, "chart-aries-origin.png", false);
  {
    kv::DMask m(nullptr, s.planet_mask, false);
    Click(m, kv::kIdFirstPlanetBox + 4);  // Mars
    Save(m, "settings-planets.png");
    m.Command(kv::kCmdOk);
    kv::NotifySettingsChanged();  // as the chart settings do after the mask dialog
  }
  Save(kart, "chart-without-mars.png", false);

  {
    kv::DAO d(nullptr, "0.ao");
    Save(d, "settings-aspects.png");
  }
  {
    kv::DLO d(nullptr, s.orb_file);
    Save(d, "settings-orb-blocks.png");
  }
  {
    kv::DIntr d(nullptr, s);
    Save(d, "settings-interpretation.png");
  }
  {
    kv::DPrintS d(nullptr, s);
    Save(d, "settings-printer.png");
  }
  {
    kv::DStatus d(nullptr, s);
    Save(d, "settings-status.png");
  }
  {
    s.ov[kv::kOptAstrologer] = 0;
    kv::DSet d(nullptr, s);
    Save(d, "settings-chart-user.png");
  }
  return g_ok ? 0 : 1;
}
