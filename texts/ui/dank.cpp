#include "texts/ui/dank.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdio>

#include "common/codepage.h"
#include "common/export_names.h"
#include "common/ui/page_print.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

constexpr int kCmdPrint = 2100;

// A font whose cell (ascent + descent) is the given height, as the chart's panels
// size theirs, so that the glyphs stand as tall as the letters beside them.
QFont CellFont(const std::string& face, int cell_height) {
  QFont f(FromCp1251(face));
  f.setPixelSize(1000);
  f.setWeight(QFont::Normal);
  const double cell_per_em = std::max(0.1, QFontMetricsF(f).height() / 1000.0);
  f.setPixelSize(std::max(1, static_cast<int>(cell_height / cell_per_em + 0.5)));
  return f;
}

int CharWidth(const QFont& text_font, QPaintDevice* device) {
  return std::max(1, QFontMetrics(text_font, device).horizontalAdvance(QLatin1Char('0')));
}

}  // namespace

DAnk::DAnk(const QString& chart_title, const ChartRecord& chart, Look look, QWidget* parent)
    : DChild(Caption(chart_title), "KAnk", kHelpAnalysis, parent),
      chart_(chart),
      analysis_(AnalyseChart(chart_)),
      look_(std::move(look)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(200, 150);
}

QString DAnk::Caption(const QString& chart_title) {
  char buf[160];
  std::snprintf(buf, sizeof buf, W("%s - Анализ").c_str(), ToCp1251(chart_title).c_str());
  return FromCp1251(buf);
}

AnalysisPlan DAnk::PlanFor(QPaintDevice* device, int width, int line_height) const {
  return PlanAnalysis(analysis_, width, line_height,
                      CharWidth(CellFont(look_.text_face, line_height), device), look_.no_houses_note);
}

void DAnk::PaintOn(QPainter& p, int width, int height, int line_height) const {
  const QFont text_font = CellFont(look_.text_face, line_height);
  const QFont glyph_font = CellFont("ATM", line_height * 5 / 6);
  const AnalysisPlan plan = PlanFor(p.device(), width, line_height);
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.fillRect(QRect(0, 0, width, height), Qt::white);
  QPen frame(Qt::black);
  frame.setWidth(kAnalysisPen);
  frame.setCapStyle(Qt::SquareCap);
  const QFontMetrics text_metrics(text_font, p.device()), glyph_metrics(glyph_font, p.device());
  // The glyphs' cell is 5/6 of the line: they sit in its middle.
  const int glyph_drop = (line_height - glyph_metrics.height()) / 2;
  for (const AnalysisPiece& piece : plan.pieces) {
    switch (piece.kind) {
      case AnalysisPiece::Kind::kLine:
        p.setPen(frame);
        p.drawLine(piece.x, piece.y, piece.x2, piece.y2);
        break;
      case AnalysisPiece::Kind::kText:
        p.setPen(Qt::black);
        p.setFont(text_font);
        p.drawText(piece.x, piece.y + text_metrics.ascent(), FromCp1251(piece.text));
        break;
      case AnalysisPiece::Kind::kGlyph:
        p.setPen(look_.glyph_colour);
        p.setFont(glyph_font);
        p.drawText(piece.x, piece.y + glyph_drop + glyph_metrics.ascent(),
                   QString::fromLatin1(piece.text.data(), static_cast<int>(piece.text.size())));
        break;
    }
  }
  p.restore();
}

int DAnk::PageLineHeight(QPainter& p, int width, int height) const {
  int line_height = AnalysisLineHeight(height);
  // x0 and sixty-one columns (from x0 - c to x0 + 60c) with a column to spare.
  const int c = CharWidth(CellFont(look_.text_face, line_height), p.device());
  const int room = width - width / 100;
  if (62 * c > room) line_height = std::max(1, line_height * room / (62 * c));
  return line_height;
}

void DAnk::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PaintOn(p, width(), height(), AnalysisLineHeight(height()));
}

void DAnk::Command(int id) {
  if (id != kCmdPrint) {
    DChild::Command(id);
    return;
  }
  const std::string stem = FileStemOf(ToCp1251(windowTitle()), "analiz");
  PrintPage(this, {windowTitle(), FromCp1251(stem), look_.print_dialog},
            [this](QPainter& p, const QSize& page) {
              PaintOn(p, page.width(), page.height(), PageLineHeight(p, page.width(), page.height()));
            });
  setFocus();
}

}  // namespace kv
