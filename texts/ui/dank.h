// DAnk: the analysis window of a chart. It keeps its own copy of the chart, so it
// stays as it was when the chart window changes or closes, and paints the tables of
// polarities, elements and crosses by sign and by house and the average scores. Its
// context menu "KAnk" prints, copies and saves the picture.
#pragma once

#include <QColor>
#include <QString>
#include <string>
#include <vector>

#include "chart/record/chart_record.h"
#include "common/ui/dkerchild.h"
#include "texts/analysis.h"
#include "texts/analysis_layout.h"

class QPainter;
class QPaintDevice;

namespace kv {

inline constexpr const char* kHelpAnalysis = "KAnk";

class DAnk : public DChild {
  Q_OBJECT
 public:
  // What the window takes from the program: the text face (code page 1251), the
  // colour of the planet glyphs, the lines shown in place of the house half of a chart
  // without houses, and whether printing shows the print dialog first.
  struct Look {
    std::string text_face = "Day New";
    QColor glyph_colour = QColor(255, 0, 255);
    std::vector<std::string> no_houses_note;
    bool print_dialog = false;
  };

  // `chart_title` is the chart window's title: the caption is "%s - Анализ".
  DAnk(const QString& chart_title, const ChartRecord& chart, Look look, QWidget* parent = nullptr);

  static QString Caption(const QString& chart_title);
  // Room for the sixty-one columns and thirty lines at a readable size.
  QSize sizeHint() const override { return {760, 600}; }

  const ChartRecord& Chart() const { return chart_; }
  const ChartAnalysis& Analysis() const { return analysis_; }

  // 2100 prints the analysis on one page; the rest goes to the base.
  void Command(int id) override;

  // Where the pieces go on a device of the given width with the line height L, and
  // the painting of them on an area of the given size.
  AnalysisPlan PlanFor(QPaintDevice* device, int width, int line_height) const;
  void PaintOn(QPainter& p, int width, int height, int line_height) const;
  // The line height of a printed page: a thirtieth of its height, less when the
  // sixty-two columns would not fit its width.
  int PageLineHeight(QPainter& p, int width, int height) const;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  ChartRecord chart_;
  ChartAnalysis analysis_;
  Look look_;
};

}  // namespace kv
