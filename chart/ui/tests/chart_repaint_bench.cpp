// A full repaint of a 1920 x 1080 chart window, with the dense fill and without, and
// the layout of a window alone: a roomy one and a tall narrow one that tries smaller
// text.
#include <benchmark/benchmark.h>

#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <unistd.h>

#include "chart/ui/chart_painter.h"

namespace kv {
namespace {

void EnsureApp() {
  if (QGuiApplication::instance()) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  if (chdir(KV_WORKDIR) != 0) return;  // the orb block "0.ao" lies there
  static int argc = 1;
  static char arg0[] = "chart_repaint_bench";
  static char* argv[] = {arg0, nullptr};
  new QGuiApplication(argc, argv);
  QFontDatabase::addApplicationFont(QStringLiteral(KV_WORKDIR "/atm.ttf"));
  QFontDatabase::addApplicationFont(QStringLiteral(KV_WORKDIR "/daycour.ttf"));
}

ChartRecord BenchChart() {
  ChartRecord rec = DefaultChartRecord();
  const double lons[17] = {0, 344.6, 197.6, 324.5, 24.8, 94.1, 298.2, 296.6, 142.9,
                           221.2, 156.7, 45.4, 332.8, 199.9, 123.6, 336.7, 0};
  for (int i = 1; i <= 16; ++i) {
    rec.lon[i] = lons[i];
    rec.speed[i] = i % 3 == 0 ? -0.2 : 0.8;
  }
  for (int k = 0; k < 12; ++k) rec.lon[17 + k] = std::fmod(125.3 + 28.0 * k + (k % 3) * 3, 360.0);
  rec.house_system = 3;
  rec.lunar_day = 18;
  SetChartText(rec.name, "Bench");
  return rec;
}

void Repaint(benchmark::State& state, int fill_level) {
  EnsureApp();
  WheelSettings ws;
  const ChartTexts texts = ChartTextsFrom(TextResources());
  ws.ov[kOptScreenFill] = static_cast<uint8_t>(fill_level);
  ws.ov[kOptHouseFill] = 1;  // house ring by sectors: the dearest fill
  ws.ov[kOptPlanetRingFill] = 1;
  ws.aspected_mask = 0xFFFF;
  ws.planet_mask = 0xFFFF;
  const ChartRecord rec = BenchChart();
  const AspectMatrix aspects = ChartAspectMatrix(rec, ws.orb_file);
  // The widget's backing store is an RGB32 image of the window's size.
  QImage target(1920, 1080, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&target);
    PaintChart(p, rec, aspects, ws, texts, {1920, 1080, false, false});
    p.end();
    benchmark::DoNotOptimize(target.constBits());
  }
}

void Layout(benchmark::State& state, int width, int height) {
  EnsureApp();
  WheelSettings ws;
  ws.planet_mask = 0xFFFF;
  const ChartTexts texts = ChartTextsFrom(TextResources());
  const ChartRecord rec = BenchChart();
  QImage device(1, 1, QImage::Format_RGB32);
  for (auto _ : state)
    benchmark::DoNotOptimize(ScreenLayout(&device, rec, ws, texts, width, height).r0);
}

void BM_Layout1920x1080(benchmark::State& state) { Layout(state, 1920, 1080); }
void BM_Layout400x600(benchmark::State& state) { Layout(state, 400, 600); }
BENCHMARK(BM_Layout1920x1080)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Layout400x600)->Unit(benchmark::kMicrosecond);

void BM_Repaint1920x1080DenseFill(benchmark::State& state) { Repaint(state, 3); }
void BM_Repaint1920x1080NoFill(benchmark::State& state) { Repaint(state, 0); }
BENCHMARK(BM_Repaint1920x1080DenseFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Repaint1920x1080NoFill)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv
