#include "texts/ui/text_view.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include "common/files.h"
#include "common/ui/qt_text.h"
#include "texts/help_file.h"

namespace kv {
namespace fs = std::filesystem;
namespace {
// A little room between the window's edge and the text.
constexpr int kLeftMargin = 4;
}  // namespace

QColor ColourOf(uint32_t rgb) { return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF); }

TextView::TextView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  SetTextFont("Day New", font_size_);
}

void TextView::ShowFile(const fs::path& path) {
  file_ = path;
  from_file_ = true;
  stamp_.reset();
  reported_missing_ = false;
  Refresh();
  viewport()->update();
}

void TextView::ShowLines(std::vector<std::string> lines) {
  from_file_ = false;
  file_.clear();
  SetContent(std::move(lines));
  viewport()->update();
}

void TextView::SetHelpLinks(bool on) {
  help_links_ = on;
  viewport()->update();
}

void TextView::SetTextFont(const std::string& face, int point_size) {
  face_ = face;
  font_size_ = point_size > 0 ? point_size : 11;
  font_ = QFont(FromCp1251(face_));
  font_.setStyleHint(QFont::TypeWriter);
  font_.setPointSize(font_size_);
  const QFontMetrics fm(font_, viewport());
  line_height_ = std::max(1, fm.height());
  char_width_ = std::max(1, fm.averageCharWidth());
  ascent_ = fm.ascent();
  UpdateScrollBars();
  viewport()->update();
}

void TextView::SetColours(uint32_t text, uint32_t link, uint32_t background) {
  text_colour_ = ColourOf(text);
  link_colour_ = ColourOf(link);
  background_ = ColourOf(background);
  viewport()->update();
}

const std::vector<std::string>& TextView::Lines() {
  Refresh();
  return lines_;
}

void TextView::SetContent(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  extent_ = MeasureText(lines_);
  UpdateScrollBars();
}

// The file is looked at on every paint; it is read only when its size or time changed.
void TextView::Refresh() {
  if (!from_file_) return;
  std::error_code ec;
  FileStamp now;
  now.size = fs::file_size(file_, ec);
  if (!ec) now.time = fs::last_write_time(file_, ec);
  now.present = !ec;
  if (stamp_ && *stamp_ == now) return;
  stamp_ = now;
  if (!now.present) {
    SetContent({});
    // The message waits for the paint to end: a modal box inside a paint would nest.
    if (!reported_missing_) {
      reported_missing_ = true;
      const std::string name = file_.string();
      QTimer::singleShot(0, [name] { WarnCannotOpen(name); });
    }
    return;
  }
  reported_missing_ = false;
  std::optional<std::vector<std::string>> lines = ReadShownFile(file_);
  SetContent(lines ? std::move(*lines) : std::vector<std::string>{});
}

int TextView::FirstLine() const { return verticalScrollBar()->value(); }
int TextView::FirstColumn() const { return horizontalScrollBar()->value(); }
int TextView::LineAt(int y) const { return y / line_height_ + FirstLine(); }

void TextView::UpdateScrollBars() {
  const int rows = std::max(1, viewport()->height() / line_height_);
  const int columns = std::max(1, viewport()->width() / char_width_);
  verticalScrollBar()->setRange(0, std::max(0, static_cast<int>(extent_.lines) - rows));
  verticalScrollBar()->setPageStep(rows);
  verticalScrollBar()->setSingleStep(1);
  horizontalScrollBar()->setRange(0, std::max(0, static_cast<int>(extent_.columns) - columns));
  horizontalScrollBar()->setPageStep(columns);
  horizontalScrollBar()->setSingleStep(1);
}

void TextView::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  UpdateScrollBars();
}

void TextView::DrawLine(QPainter& p, std::string_view shown, int y) {
  size_t skip = static_cast<size_t>(FirstColumn());
  const int baseline = y + ascent_;
  if (!help_links_) {
    if (shown.size() > skip) p.drawText(kLeftMargin, baseline, FromCp1251(shown.substr(skip)));
    return;
  }
  // Fractional advances: the spans sit exactly where the same words drawn in one
  // piece would.
  const QFontMetricsF fm(font_, viewport());
  qreal x = kLeftMargin;
  for (const HelpSpan& span : ParseHelpLine(shown).spans) {
    std::string_view text = span.text;
    if (skip >= text.size()) {
      skip -= text.size();
      continue;
    }
    const QString q = FromCp1251(text.substr(skip));
    skip = 0;
    p.setPen(span.kind == HelpSpanKind::kLink ? link_colour_ : text_colour_);
    p.drawText(QPointF(x, baseline), q);
    x += fm.horizontalAdvance(q);
  }
}

void TextView::paintEvent(QPaintEvent*) {
  Refresh();
  QPainter p(viewport());
  p.fillRect(viewport()->rect(), background_);
  p.setFont(font_);
  p.setPen(text_colour_);
  p.setBackgroundMode(Qt::TransparentMode);
  const int first = FirstLine();
  const int rows = viewport()->height() / line_height_ + 1;
  const int count = static_cast<int>(lines_.size());
  for (int i = 0; i < rows && first + i < count; ++i)
    DrawLine(p, DisplayPart(lines_[static_cast<size_t>(first + i)]), i * line_height_);
}

void TextView::mousePressEvent(QMouseEvent* e) {
  if (help_links_ && e->button() == Qt::LeftButton) {
    const int line = LineAt(static_cast<int>(e->position().y()));
    if (line >= 0 && line < static_cast<int>(lines_.size())) {
      const std::string target = ParseHelpLine(lines_[static_cast<size_t>(line)]).target;
      if (!target.empty()) {
        emit LinkActivated(FromCp1251(target));
        return;
      }
    }
  }
  QAbstractScrollArea::mousePressEvent(e);
}

void TextView::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Home:
      verticalScrollBar()->setValue(0);
      horizontalScrollBar()->setValue(0);
      return;
    case Qt::Key_End:
      verticalScrollBar()->setValue(verticalScrollBar()->maximum());
      return;
    default:
      QAbstractScrollArea::keyPressEvent(e);
  }
}

}  // namespace kv
