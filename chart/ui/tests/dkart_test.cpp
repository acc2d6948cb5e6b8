#include "chart/ui/dkart.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QHelpEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <functional>

#include "chart/ui/chart_painter.h"
#include "chart/ui/open_chart.h"
#include "chart/ui/tests/chart_test_support.h"
#include "common/codepage.h"
#include "common/ui/page_print.h"
#include "common/ui/qt_text.h"
#include "common/ui/window_hooks.h"

namespace kv {
namespace {

class DKartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApp();
    ChartWindowHooks hooks;
    hooks.wheel_settings = [this] { return ws; };
    old_hooks = SetChartWindowHooks(std::move(hooks));
    ws.orb_file = "none-such.ao";
    ws.ov[kOptScreenFill] = 0;
  }
  void TearDown() override { SetChartWindowHooks(std::move(old_hooks)); }

  // The program's settings as the window sees them through its hook.
  WheelSettings ws;
  ChartWindowHooks old_hooks;
};

// Sets one hook of the chart windows, keeping the others.
template <class F>
void SetHook(F ChartWindowHooks::*hook, F value) {
  ChartWindowHooks hooks = ChartWindowHooksNow();
  hooks.*hook = std::move(value);
  SetChartWindowHooks(std::move(hooks));
}

TEST_F(DKartTest, TitleAndRegisters) {
  ChartRecord rec = test::SampleChart();
  SetChartText(rec.name, W("Иванов").c_str());
  const int before = OpenChartCount();
  auto* kart = new DKart(ChartCounter() + 1, rec);
  const int number = kart->Number();
  EXPECT_EQ(kart->windowTitle(), QString::fromUtf8("Карта %1: Иванов").arg(number));
  EXPECT_EQ(FindOpenChart(number), kart);
  EXPECT_EQ(OpenCharts().count(number), 1u);
  EXPECT_EQ(OpenChartCount(), before + 1);
  EXPECT_EQ(ChartCounter(), number);
  auto* second = new DKart(ChartCounter() + 1, rec);
  EXPECT_EQ(second->Number(), number + 1);
  delete kart;
  EXPECT_EQ(FindOpenChart(number), nullptr);
  EXPECT_EQ(OpenChartCount(), before + 1);
  delete second;
  EXPECT_EQ(OpenChartCount(), before);
  // Numbers are never given twice, even after the windows closed.
  EXPECT_EQ(ChartCounter(), number + 1);
}

TEST_F(DKartTest, KeepsItsOwnCopyOfTheRecord) {
  ChartRecord rec = test::SampleChart();
  DKart kart(ChartCounter() + 1, rec);
  rec.lon[1] = 300.0;
  EXPECT_DOUBLE_EQ(kart.Chart().lon[1], 5.0);
  EXPECT_EQ(kart.HelpTopic(), "K0t1");
}

TEST_F(DKartTest, ClickOnTheWheelSelectsWhatLiesThere) {
  DKart kart(ChartCounter() + 1, test::SampleChart());
  kart.resize(800, 600);
  kart.show();
  kart.grab();  // paints once: the click test uses the geometry of the last paint
  const WheelGeometry& g = kart.Geometry();
  ASSERT_EQ(g.R1, 270);
  WheelHit seen;
  SetHook<std::function<void(DKart&, WheelHit)>>(&ChartWindowHooks::details,
                                                [&](DKart&, WheelHit hit) { seen = hit; });
  DevicePoint p = g.map.PointAt(45.0, (g.R1 + g.R2) / 2);
  QTest::mouseClick(&kart, Qt::LeftButton, {}, QPoint(p.x, p.y));
  EXPECT_EQ(kart.LastHit(), (WheelHit{HitKind::kSign, 2}));
  EXPECT_EQ(seen, kart.LastHit());
  p = g.map.PointAt(kart.Chart().lon[4], g.glyph_radius[4]);
  QTest::mouseClick(&kart, Qt::LeftButton, {}, QPoint(p.x, p.y));
  EXPECT_EQ(kart.LastHit(), (WheelHit{HitKind::kBody, 4}));
  p = g.map.PointAt(55.0, (g.R3 + g.R4) / 2);  // cusp 2 at 40, cusp 3 at 70
  QTest::mouseClick(&kart, Qt::LeftButton, {}, QPoint(p.x, p.y));
  EXPECT_EQ(kart.LastHit(), (WheelHit{HitKind::kHouse, 2}));
}

// The settings dialogs tell the program; the program repaints the open charts, which
// take the settings of the moment.
TEST_F(DKartTest, ChangedSettingsReachTheOpenCharts) {
  DKart kart(ChartCounter() + 1, test::SampleChart());
  kart.resize(800, 600);
  kart.show();
  // Events for up to `ms` milliseconds, until `done` holds.
  auto wait_for = [](const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
  };
  ASSERT_TRUE(wait_for([&] { return kart.Geometry().R1 > 0; }, 5000));  // the first paint
  const bool clockwise = kart.Geometry().map.clockwise;
  ws.ov[kOptClockwise] = clockwise ? 0 : 1;
  EXPECT_FALSE(wait_for([&] { return kart.Geometry().map.clockwise != clockwise; }, 300))
      << "repainted without being told";
  const SettingsListener old = SetSettingsListener(&RepaintOpenCharts);
  NotifySettingsChanged();
  EXPECT_TRUE(wait_for([&] { return kart.Geometry().map.clockwise != clockwise; }, 2000));
  SetSettingsListener(old);
}

// Another current orb block changes the aspects an open chart shows: the repaint after
// a settings change finds them again.
TEST_F(DKartTest, ChangedOrbBlockReachesTheAspectsOfTheOpenCharts) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  auto write_block = [&](const char* name, const char* text) {
    QFile f(dir.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  };
  write_block("sextile.ao", "60 6 6 6 6 S 0 0 -1 1\n");
  write_block("trine.ao", "120 6 6 6 6 S 0 0 -1 1\n");
  ws.orb_file = dir.filePath("sextile.ao").toStdString();
  // Sun at 5, Venus at 65 and Mars at 85 (sample chart): a sextile Sun-Venus only.
  DKart kart(ChartCounter() + 1, test::SampleChart());
  ASSERT_EQ(kart.Aspects().Aspect(1, 4), 60.0f);
  ASSERT_EQ(kart.Aspects().Aspect(1, 5), kNoAspect);
  ws.orb_file = dir.filePath("trine.ao").toStdString();
  EXPECT_EQ(kart.Aspects().Aspect(1, 4), 60.0f);  // nothing told yet
  const SettingsListener old = SetSettingsListener(&RepaintOpenCharts);
  NotifySettingsChanged();
  EXPECT_EQ(kart.Aspects().Aspect(1, 4), kNoAspect);
  EXPECT_EQ(kart.Aspects().Aspect(1, 5), kNoAspect);  // 80 degrees: no trine either
  EXPECT_EQ(kart.Aspects().Aspect(1, 7), 120.0f);     // Saturn at 125
  SetSettingsListener(old);
}

// A window too small for the wheel and the panels scrolls: the bars show, the click
// test follows the content under the pointer, and the picture is the visible part.
TEST_F(DKartTest, ASmallWindowScrollsAndClicksFollowTheContent) {
  DKart kart(ChartCounter() + 1, test::SampleChart());
  kart.resize(300, 200);
  kart.show();
  const QImage picture = kart.ClientPicture();
  const ChartWindowLayout& l = kart.Layout();
  ASSERT_TRUE(l.content_w > 300 || l.content_h > 200);
  EXPECT_GE(l.r0, kMinWheelR0);
  QScrollBar* shown = nullptr;
  for (QScrollBar* b : kart.findChildren<QScrollBar*>())
    if (!b->isHidden()) shown = b;
  ASSERT_TRUE(shown);
  EXPECT_LT(picture.width() * picture.height(), 300 * 200);  // the bars are not in it
  shown->setValue(shown->maximum());
  kart.grab();
  const QPoint offset = kart.ScrollOffset();
  EXPECT_GT(offset.x() + offset.y(), 0);
  const WheelGeometry& g = kart.Geometry();
  // A body glyph that is visible now, clicked at its window position.
  int body = 0;
  for (int i = 1; i <= 16 && !body; ++i) {
    if (g.glyph_radius[i] == kNoGlyph) continue;
    const DevicePoint p = g.map.PointAt(kart.Chart().lon[i], g.glyph_radius[i]);
    const QPoint w(p.x - offset.x(), p.y - offset.y());
    if (w.x() >= 0 && w.y() >= 0 && w.x() < picture.width() && w.y() < picture.height()) {
      QTest::mouseClick(&kart, Qt::LeftButton, {}, w);
      body = i;
    }
  }
  ASSERT_NE(body, 0);
  EXPECT_EQ(kart.LastHit(), (WheelHit{HitKind::kBody, body}));
}

// A chart window that does not open maximised opens large enough for the whole wheel
// and the panels at full-size text, or as large as the client when that is smaller.
TEST_F(DKartTest, ANonMaximisedWindowOpensShowingEverything) {
  MaximiseRule old_rule = SetMaximiseRule([] { return false; });
  for (QSize client : {QSize(1400, 900), QSize(700, 450)}) {
    SCOPED_TRACE(client.width());
    QMdiArea area;
    area.resize(client);
    area.show();
    auto* kart = new DKart(ChartCounter() + 1, test::SampleChart());
    QMdiSubWindow* sub = kart->ShowIn(&area);
    kart->grab();
    EXPECT_FALSE(sub->isMaximized());
    EXPECT_LE(sub->width(), area.viewport()->width());
    EXPECT_LE(sub->height(), area.viewport()->height());
    const ChartWindowLayout& l = kart->Layout();
    EXPECT_LE(l.content_w, kart->width());  // nothing to scroll
    EXPECT_LE(l.content_h, kart->height());
    if (client.height() > 800) {
      EXPECT_TRUE(l.plain);
      EXPECT_EQ(l.line_height, ScreenLineHeight(kart, ws));
      EXPECT_GE(kart->height(), kChartWindowMinHeight);
    } else {
      EXPECT_GE(l.r0, kMinWheelR0);
    }
    sub->close();
  }
  SetMaximiseRule(std::move(old_rule));
}

TEST_F(DKartTest, TooltipNamesTheBodyUnderThePointer) {
  ChartTexts texts;
  texts.points = TextList({"Sun", "Moon", "Mercury", "Venus"});
  texts.signs = TextList({"Ari", "Tau", "Gem"});
  SetHook<ChartTexts>(&ChartWindowHooks::texts, texts);
  DKart kart(ChartCounter() + 1, test::SampleChart());
  kart.resize(800, 600);
  kart.show();
  kart.grab();
  const WheelGeometry& g = kart.Geometry();
  const DevicePoint p = g.map.PointAt(kart.Chart().lon[4], g.glyph_radius[4]);  // Venus, 65
  QHelpEvent help(QEvent::ToolTip, QPoint(p.x, p.y), kart.mapToGlobal(QPoint(p.x, p.y)));
  QCoreApplication::sendEvent(&kart, &help);
  const QStringList lines = QToolTip::text().split('\n');
  ASSERT_GE(lines.size(), 3);
  EXPECT_EQ(lines[0], "Venus");
  EXPECT_EQ(lines[1], QString::fromUtf8("Gem 05°00'"));
  QToolTip::hideText();
}

TEST_F(DKartTest, PrintingWithoutAPrinterAsksForThePdfName) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
  QTemporaryDir dir;
  ChartRecord rec = test::SampleChart();
  SetChartText(rec.name, W("Иванов").c_str());
  DKart kart(ChartCounter() + 1, rec);
  QString preset, told;
  const QString target = dir.filePath("chart.pdf");
  PdfFallback old = SetPdfFallback({[&](QWidget*, const QString& p) {
                                      preset = p;
                                      return target;
                                    },
                                    [&](QWidget*, const QString& t) { told = t; }});
  kart.Command(kCmdPrintChart);
  SetPdfFallback(old);
  EXPECT_TRUE(preset.endsWith(QString::fromUtf8("/Иванов.pdf"))) << preset.toStdString();
  QFile f(target);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.read(5).startsWith("%PDF"));
  EXPECT_TRUE(told.contains(target)) << told.toStdString();
}

TEST_F(DKartTest, OpenChartWindowNeedsTheMainWindow) {
  // Without the application object's frame there is nowhere to show it.
  EXPECT_EQ(OpenChartWindow(test::SampleChart()), nullptr);
}

}  // namespace
}  // namespace kv
