#include "chart/ui/dkart.h"

#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>

#include "chart/ui/chart_painter.h"
#include "chart/ui/open_chart.h"
#include "chart/wheel/wheel_settings.h"
#include "common/codepage.h"
#include "common/journal.h"
#include "common/ui/page_layout.h"
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
}

DKart::~DKart() {
  ByNumber().erase(number_);
  InOrder().erase(number_);
}

void DKart::RefindAspects() {
  aspects_ = ChartAspectMatrix(chart_, CurrentWheelSettings().orb_file);
  update();
}

void DKart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  geometry_ = PaintChart(p, chart_, aspects_, CurrentWheelSettings(), Hooks().texts,
                         {width(), height(), false, false});
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
  const QPoint pos = e->position().toPoint();
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
  QPrinter printer(QPrinter::HighResolution);
  // A page at the printer's full resolution makes a fill image of many megabytes;
  // 300 dots per inch draw the same picture.
  printer.setResolution(300);
  ApplyProgramPageLayout(printer);
  if (QPrinterInfo::availablePrinters().isEmpty()) {
    // No printer installed: the page goes to a PDF file in the working directory.
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("karta%1.pdf").arg(number_));
  }
  if (CurrentWheelSettings().Option(kOptPrintDialog)) {
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) {
      setFocus();
      return;
    }
  }
  PrintOn(printer, id == kCmdPrintChartLegend);
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
