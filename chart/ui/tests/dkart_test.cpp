#include "chart/ui/dkart.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QHelpEvent>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include "app/settings/program_settings.h"
#include "app/settings/settings.h"
#include "chart/ui/open_chart.h"
#include "chart/ui/tests/chart_test_support.h"
#include "common/codepage.h"
#include "common/ui/page_print.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

class DKartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApp();
    AppSettings().orb_file = "none-such.ao";
    AppSettings().ov[kOptScreenFill] = 0;
  }
};

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
  DKart::SetDescriptionHook([&](DKart&, WheelHit hit) { seen = hit; });
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
  DKart::SetDescriptionHook(nullptr);
}

TEST_F(DKartTest, CommandsGoToTheirHooks) {
  DKart kart(ChartCounter() + 1, test::SampleChart());
  int got = 0;
  DKart::SetCommandHook(kCmdAnalysis, [&](DKart& k, int id) {
    EXPECT_EQ(&k, &kart);
    got = id;
  });
  kart.Command(kCmdAnalysis);
  EXPECT_EQ(got, kCmdAnalysis);
  got = 0;
  kart.Command(kCmdStoreCard);  // no hook yet: nothing happens
  EXPECT_EQ(got, 0);
  DKart::SetCommandHook(kCmdAnalysis, nullptr);
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

TEST_F(DKartTest, TooltipNamesTheBodyUnderThePointer) {
  AppLists().ph = TextList({"Sun", "Moon", "Mercury", "Venus"});
  AppLists().zod = TextList({"Ari", "Tau", "Gem"});
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
  AppLists().ph = TextList();
  AppLists().zod = TextList();
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
