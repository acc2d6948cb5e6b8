#include "chart/ui/dkart.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>
#include <cstdio>

#include "chart/ui/chart_painter.h"
#include "chart/ui/open_chart.h"
#include "chart/wheel/chart_hover.h"
#include "chart/wheel/wheel_settings.h"
#include "common/codepage.h"
#include "common/export_names.h"
#include "common/journal.h"
#include "common/messages.h"
#include "common/ui/page_print.h"
#include "common/ui/qt_text.h"
#include "common/ui/window_hooks.h"

namespace kv {
namespace {

// Two registers, as the program keeps them: one looked up by the windows that pick a
// chart by number, one walked in order by the chart lists.
std::map<int, DKart*>& ByNumber() {
  static std::map<int, DKart*> m;
  return m;
}
std::map<int, DKart*>& InOrder() {
  static std::map<int, DKart*> m;
  return m;
}
int g_counter = 0;

ChartWindowHooks& Hooks() {
  static ChartWindowHooks hooks = [] {
    ChartWindowHooks h;
    h.texts = ChartTextsFrom(TextResources());  // no file read: the keys themselves
    return h;
  }();
  return hooks;
}

WheelSettings CurrentWheelSettings() {
  return Hooks().wheel_settings ? Hooks().wheel_settings() : WheelSettings();
}

QString ChartTitle(int number, const ChartRecord& rec) {
  char buf[96];
  std::snprintf(buf, sizeof buf, W("Карта %d: %s").c_str(), number, rec.name);
  return FromCp1251(buf);
}

}  // namespace

DKart* FindOpenChart(int number) {
  auto it = ByNumber().find(number);
  return it == ByNumber().end() ? nullptr : it->second;
}
std::map<int, DKart*> OpenCharts() { return InOrder(); }
int ChartCounter() { return g_counter; }
int OpenChartCount() { return static_cast<int>(ByNumber().size()); }

void RepaintOpenCharts() {
  for (const auto& [number, kart] : InOrder()) kart->RefindAspects();
}

ChartWindowHooks SetChartWindowHooks(ChartWindowHooks hooks) {
  ChartWindowHooks old = std::move(Hooks());
  Hooks() = std::move(hooks);
  return old;
}
const ChartWindowHooks& ChartWindowHooksNow() { return Hooks(); }

DKart::DKart(int number, const ChartRecord& rec, QWidget* parent)
    : DChild(ChartTitle(number, rec), kChartMenuKey, kHelpChart, parent),
      number_(number),
      chart_(rec),
      aspects_(ChartAspectMatrix(rec, CurrentWheelSettings().orb_file)) {
  g_counter = std::max(g_counter, number);
  ByNumber()[number_] = this;
  InOrder()[number_] = this;
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(200, 150);
  hbar_ = new QScrollBar(Qt::Horizontal, this);
  vbar_ = new QScrollBar(Qt::Vertical, this);
  for (QScrollBar* bar : {hbar_, vbar_}) {
    bar->hide();
    connect(bar, &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
  }
}

DKart::~DKart() {
  ByNumber().erase(number_);
  InOrder().erase(number_);
}

void DKart::RefindAspects() {
  aspects_ = ChartAspectMatrix(chart_, CurrentWheelSettings().orb_file);
  update();
}

QSize DKart::sizeHint() const {
  // Measured in the window's own fonts; measuring does not change the window.
  auto* device = const_cast<DKart*>(this);
  return ScreenPlainSize(device, chart_, CurrentWheelSettings(), Hooks().texts,
                         kChartWindowMinHeight);
}

QPoint DKart::ScrollOffset() const {
  return {hbar_->isHidden() ? 0 : hbar_->value(), vbar_->isHidden() ? 0 : vbar_->value()};
}

void DKart::Relayout() {
  const WheelSettings ws = CurrentWheelSettings();
  const int w = std::max(1, width()), h = std::max(1, height());
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  int vw = w, vh = h;
  layout_ = ScreenLayout(this, chart_, ws, Hooks().texts, vw, vh);
  // The bars take their room from the window; the content is laid out for the rest.
  for (int pass = 0; pass < 2 && (layout_.content_w > vw || layout_.content_h > vh); ++pass) {
    vw = w - (layout_.content_h > vh ? bar : 0);
    vh = h - (layout_.content_w > vw ? bar : 0);
    layout_ = ScreenLayout(this, chart_, ws, Hooks().texts, vw, vh);
  }
  viewport_ = QSize(vw, vh);
  auto place = [](QScrollBar* b, bool need, QRect where, int range, int page, int step) {
    if (b->isHidden() == need) b->setHidden(!need);
    if (!need) return;
    if (b->geometry() != where) b->setGeometry(where);
    b->setRange(0, range);
    b->setPageStep(page);
    b->setSingleStep(step);
  };
  const int step = std::max(1, layout_.line_height);
  place(hbar_, layout_.content_w > vw, QRect(0, h - bar, vw, bar), layout_.content_w - vw, vw, step);
  place(vbar_, layout_.content_h > vh, QRect(w - bar, 0, bar, vh), layout_.content_h - vh, vh, step);
}

void DKart::paintEvent(QPaintEvent*) {
  Relayout();
  QPainter p(this);
  if (viewport_ != size()) p.fillRect(rect(), palette().window());  // the corner of the bars
  p.setClipRect(QRect(QPoint(0, 0), viewport_));
  p.translate(-ScrollOffset());
  PaintTarget target{viewport_.width(), viewport_.height(), false, false, &layout_};
  geometry_ = PaintChart(p, chart_, aspects_, CurrentWheelSettings(), Hooks().texts, target);
}

QImage DKart::ClientPicture() {
  const QImage whole = DChild::ClientPicture();  // paints, and so lays out, first
  return whole.copy(QRect(QPoint(0, 0), viewport_));
}

bool DKart::event(QEvent* e) {
  if (e->type() != QEvent::ToolTip) return DChild::event(e);
  auto* help = static_cast<QHelpEvent*>(e);
  const QPoint at = help->pos() + ScrollOffset();
  const WheelHit hit = HitTest(geometry_, chart_, at.x(), at.y());
  const std::vector<std::string> lines =
      HoverLines(hit, geometry_, chart_, CurrentWheelSettings(), HoverWordsOf(Hooks().texts),
                 at.x(), at.y());
  if (lines.empty()) {
    QToolTip::hideText();
    e->ignore();
    return true;
  }
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  QToolTip::showText(help->globalPos(), FromCp1251(text), this);
  return true;
}

void DKart::wheelEvent(QWheelEvent* e) {
  QScrollBar* bar = !vbar_->isHidden() ? vbar_ : (!hbar_->isHidden() ? hbar_ : nullptr);
  if (bar) QCoreApplication::sendEvent(bar, e);
  else DChild::wheelEvent(e);
}

void DKart::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    DChild::mousePressEvent(e);
    return;
  }
  // The click that brings the window back only gives it the focus.
  if (!click_armed_) {
    click_armed_ = true;
    return;
  }
  const QPoint pos = e->position().toPoint() + ScrollOffset();
  last_hit_ = HitTest(geometry_, chart_, pos.x(), pos.y());
  const auto details = Hooks().details;
  if (last_hit_.kind != HitKind::kNothing && details) details(*this, last_hit_);
}

void DKart::focusOutEvent(QFocusEvent* e) {
  click_armed_ = false;
  DChild::focusOutEvent(e);
}

void DKart::resizeEvent(QResizeEvent* e) {
  click_armed_ = true;
  DChild::resizeEvent(e);
}

void DKart::Command(int id) {
  if (id == kCmdPrintChart || id == kCmdPrintChartLegend) {
    Print(id);
    return;
  }
  const ChartWindowHooks& hooks = Hooks();
  // A copy: the window a hook opens may install other hooks.
  const std::function<void(DKart&)> hook = id == kCmdAnalysis         ? hooks.analysis
                                           : id == kCmdStoreCard      ? hooks.store_card
                                           : id == kCmdInterpretation ? hooks.interpretation
                                                                      : nullptr;
  if (hook) {
    hook(*this);
    return;
  }
  DChild::Command(id);
}

int DKart::PrintOn(QPrinter& printer, bool legend) {
  printer.setDocName(FromCp1251(W("Карта")));
  QPainter p;
  if (!p.begin(&printer)) return -1;
  PaintChart(p, chart_, aspects_, CurrentWheelSettings(), Hooks().texts,
             {printer.width(), printer.height(), true, legend});
  return p.end() ? 0 : -1;
}

void DKart::Print(int id) {
  const bool legend = id == kCmdPrintChartLegend;
  const WheelSettings ws = CurrentWheelSettings();
  // Without a printer the page goes to a PDF file named after the chart.
  const PageJob job{FromCp1251(W("Карта")),
                    FromCp1251(FileStemOf(chart_.name, "karta" + std::to_string(number_))),
                    ws.Option(kOptPrintDialog)};
  PrintPage(this, job, [&](QPainter& p, const QSize& page) {
    PaintChart(p, chart_, aspects_, ws, Hooks().texts, {page.width(), page.height(), true, legend});
  });
  setFocus();
  update();
}

DKart* OpenChartWindow(const ChartRecord& rec) {
  QMdiArea* client = MainClient();
  if (!client) return nullptr;
  auto* kart = new DKart(ChartCounter() + 1, rec);
  kart->ShowIn(client);
  return kart;
}

}  // namespace kv
