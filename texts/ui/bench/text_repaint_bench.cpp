// Repainting a text window that shows a file of 2,000 lines: at the top, in the
// middle, and a help window whose lines carry links. Offscreen, 1000 x 800 pixels.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>

#include <fstream>
#include <memory>

#include "common/codepage.h"
#include "texts/ui/text_view.h"

namespace {

QApplication& App() {
  static int argc = 1;
  static char arg0[] = "text_repaint_bench";
  static char* argv[] = {arg0, nullptr};
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* app = [] {
    auto* a = new QApplication(argc, argv);
    QFontDatabase::addApplicationFont(QStringLiteral(KV_WORKDIR "/daycour.ttf"));
    return a;
  }();
  return *app;
}

// 2,000 lines of about 70 characters, some with an "@@" trailer.
std::string TwoThousandLines() {
  std::string text;
  for (int i = 0; i < 2000; ++i) {
    text += kv::W("Строка ") + std::to_string(i) +
            kv::W(": планета в знаке и доме, ещё немного текста для ширины строки.");
    if (i % 10 == 0) text += "@@trailer";
    text += "\n";
  }
  return text;
}

struct Fixture {
  Fixture() {
    App();
    const std::filesystem::path file = std::filesystem::path(dir.path().toStdString()) / "kvt0001.tmp";
    std::ofstream(file, std::ios::binary) << TwoThousandLines();
    view = std::make_unique<kv::TextView>();
    view->SetTextFont("Day New", 11);
    view->resize(1000, 800);
    view->ShowFile(file);
    image = QImage(view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  }
  void Paint() {
    QPainter p(&image);
    view->viewport()->render(&p);
  }
  QTemporaryDir dir;
  std::unique_ptr<kv::TextView> view;
  QImage image;
};

void BM_RepaintTop(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) f.Paint();
}
BENCHMARK(BM_RepaintTop)->Unit(benchmark::kMillisecond);

void BM_RepaintMiddle(benchmark::State& state) {
  Fixture f;
  f.view->verticalScrollBar()->setValue(1000);
  for (auto _ : state) f.Paint();
}
BENCHMARK(BM_RepaintMiddle)->Unit(benchmark::kMillisecond);

// Scrolling through the whole file one page at a time, a paint per page.
void BM_ScrollThroughFile(benchmark::State& state) {
  Fixture f;
  QScrollBar* bar = f.view->verticalScrollBar();
  for (auto _ : state) {
    for (int v = 0; v <= bar->maximum(); v += bar->pageStep()) {
      bar->setValue(v);
      f.Paint();
    }
  }
}
BENCHMARK(BM_ScrollThroughFile)->Unit(benchmark::kMillisecond);

void BM_RepaintHelpWithLinks(benchmark::State& state) {
  App();
  kv::TextView view;
  std::vector<std::string> lines;
  for (int i = 0; i < 2000; ++i)
    lines.push_back(kv::W("  см. <Раздел номер ") + std::to_string(i) + " ref=Topic" + std::to_string(i) +
                    kv::W("> и дальше"));
  view.SetTextFont("Day New", 11);
  view.resize(1000, 800);
  view.ShowLines(std::move(lines));
  view.SetHelpLinks(true);
  QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter p(&image);
    view.viewport()->render(&p);
  }
}
BENCHMARK(BM_RepaintHelpWithLinks)->Unit(benchmark::kMillisecond);

}  // namespace
