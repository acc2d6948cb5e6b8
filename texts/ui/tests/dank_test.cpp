#include "texts/ui/dank.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include "common/codepage.h"
#include "common/ui/page_print.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

void EnsureApp() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char arg0[] = "texts_ui_tests";
  static char* argv[] = {arg0, nullptr};
  new QApplication(argc, argv);
  QFontDatabase::addApplicationFont(QStringLiteral(KV_WORKDIR "/atm.ttf"));
  QFontDatabase::addApplicationFont(QStringLiteral(KV_WORKDIR "/daycour.ttf"));
}

// Equal houses from the Ascendant; bodies 1..10 at the given longitudes.
ChartRecord Chart(std::array<double, 10> lon, double asc = 15.0, int16_t system = 1) {
  ChartRecord rec = DefaultChartRecord();
  rec.house_system = system;
  for (int k = 1; k <= 12; ++k) {
    const double c = asc + 30.0 * (k - 1);
    rec.lon[16 + k] = c >= 360.0 ? c - 360.0 : c;
  }
  for (int n = 1; n <= 10; ++n) rec.lon[n] = lon[n - 1];
  return rec;
}

DAnk::Look TestLook() {
  DAnk::Look look;
  look.glyph_colour = QColor(255, 0, 255);
  look.no_houses_note = {"no houses:", "time unknown"};
  return look;
}

// Pixels of a colour in a box of the picture.
int Ink(const QImage& img, QRect box, bool (*is)(QRgb)) {
  int n = 0;
  box = box.intersected(img.rect());
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x)
      if (is(img.pixel(x, y))) ++n;
  return n;
}
bool Dark(QRgb p) { return qGray(p) < 100; }
bool Magenta(QRgb p) { return qRed(p) > 180 && qBlue(p) > 180 && qGreen(p) < 150; }

class DAnkTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureApp(); }
  // The window painted at 800 x 600 (L = 20) and the plan it painted.
  QImage Paint(DAnk& w, AnalysisPlan& plan) {
    w.resize(800, 600);
    const QImage img = w.grab().toImage();
    plan = w.PlanFor(&const_cast<QImage&>(img), 800, 20);
    return img;
  }
};

TEST_F(DAnkTest, CaptionHelpAndItsOwnCopyOfTheChart) {
  ChartRecord rec = Chart({125, 95, 135, 100, 10, 250, 290, 280, 285, 220});
  DAnk w(FromCp1251(W("Карта 3: Иванов")), rec, TestLook());
  EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Карта 3: Иванов - Анализ"));
  EXPECT_EQ(w.HelpTopic(), "KAnk");
  rec.lon[1] = 5.0;  // the chart changes after the window opened
  EXPECT_DOUBLE_EQ(w.Chart().lon[1], 125.0);
  EXPECT_EQ(w.Analysis().sign[1], 5);
}

// Every row of both halves shows the "/" after the seventh place, even when the row
// holds no planet; with all ten in Aries the yang row shows every glyph at its place.
TEST_F(DAnkTest, PaintsTheSlashInEveryRowAndEachGlyphAtItsPlace) {
  DAnk w("Chart", Chart({5, 6, 7, 8, 9, 10, 11, 12, 13, 14}), TestLook());
  AnalysisPlan plan;
  const QImage img = Paint(w, plan);
  const int L = plan.line_height, c = plan.char_width, x0 = plan.left;
  ASSERT_EQ(L, 20);
  int slashes = 0;
  for (const AnalysisPiece& p : plan.pieces) {
    if (p.kind == AnalysisPiece::Kind::kText && p.text == "/") {
      ++slashes;
      EXPECT_GT(Ink(img, QRect(p.x, p.y, c, L), &Dark), 3) << p.x << "," << p.y;
    }
    if (p.kind == AnalysisPiece::Kind::kGlyph) {
      EXPECT_GT(Ink(img, QRect(p.x, p.y, 2 * c, L), &Magenta), 3) << p.text << " at " << p.x << "," << p.y;
    }
  }
  EXPECT_EQ(slashes, 18);
  // Yin by sign is empty: no glyph ink between the label and the "/".
  EXPECT_EQ(Ink(img, QRect(x0 + 7 * c, 4 * L, 14 * c, L), &Magenta), 0);
  // The header frame's top line, three pixels wide (its edges half covered), across
  // both halves.
  EXPECT_GE(Ink(img, QRect(x0 + 5 * c, L / 2 - 1, 1, 3), &Dark), 2);
  EXPECT_GE(Ink(img, QRect(x0 + 50 * c, L / 2 - 1, 1, 3), &Dark), 2);
}

TEST_F(DAnkTest, WithoutHousesTheHouseHalfStaysEmptyButForTheNote) {
  DAnk w("Chart", Chart({125, 95, 135, 100, 10, 250, 290, 280, 285, 220}, 15.0, kNoHousesSystem),
         TestLook());
  AnalysisPlan plan;
  const QImage img = Paint(w, plan);
  const int L = plan.line_height, c = plan.char_width, x0 = plan.left;
  EXPECT_EQ(Ink(img, QRect(x0 + 34 * c, 3 * L, 25 * c, 11 * L), &Magenta), 0);
  EXPECT_GT(Ink(img, QRect(x0 + 34 * c, 3 * L, 25 * c, L), &Dark), 10);  // the note
  EXPECT_EQ(Ink(img, QRect(x0 + 35 * c, 6 * L, 24 * c, 4 * L), &Dark), 0);  // nothing else
}

TEST_F(DAnkTest, ThePrintedPageFitsTheWidth) {
  DAnk w("Chart", Chart({125, 95, 135, 100, 10, 250, 290, 280, 285, 220}), TestLook());
  QImage page(1240, 1754, QImage::Format_RGB32);  // A4 at 150 dots per inch
  QPainter p(&page);
  const int L = w.PageLineHeight(p, page.width(), page.height());
  p.end();
  EXPECT_LE(L, page.height() / 30);
  const AnalysisPlan plan = w.PlanFor(&page, page.width(), L);
  for (const AnalysisPiece& piece : plan.pieces) EXPECT_LT(std::max(piece.x, piece.x2), page.width());
  EXPECT_GT(L, page.height() / 60);  // not smaller than it must be

  if (!QPrinterInfo::availablePrinters().isEmpty()) return;
  QTemporaryDir dir;
  const QString target = dir.filePath("analysis.pdf");
  QString preset;
  PdfFallback old = SetPdfFallback({[&](QWidget*, const QString& p) {
                                      preset = p;
                                      return target;
                                    },
                                    [](QWidget*, const QString&) {}});
  w.Command(2100);
  SetPdfFallback(old);
  EXPECT_TRUE(preset.endsWith(QString::fromUtf8("Chart - Анализ.pdf"))) << preset.toStdString();
  QFile f(target);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.read(5).startsWith("%PDF"));
}

}  // namespace
}  // namespace kv
