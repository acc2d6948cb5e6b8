#include "chart/ui/dkart.h"

#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>

#include "app/settings/settings.h"
#include "app/ui/duapp.h"
#include "app/ui/dcli.h"
#include "app/ui/startup.h"
#include "chart/ui/chart_painter.h"
#include "chart/ui/open_chart.h"
#include "chart/wheel/wheel_settings.h"
#include "common/codepage.h"
#include "common/journal.h"
#include "common/ui/page_layout.h"
#include "common/ui/qt_text.h"

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

std::map<int, DKart::ChartCommandHook>& CommandHooks() {
  static std::map<int, DKart::ChartCommandHook> m;
  return m;
}
DKart::DescriptionHook& Description() {
  static DKart::DescriptionHook h;
  return h;
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

DKart::DKart(int number, const ChartRecord& rec, QWidget* parent)
    : DChild(ChartTitle(number, rec), "K0t1", "K0t1", parent),
      number_(number),
      chart_(rec),
      aspects_(ChartAspectMatrix(rec, AppSettings().orb_file)) {
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

void DKart::RefindAspects(const std::string& orb_file) {
  aspects_ = ChartAspectMatrix(chart_, orb_file);
  update();
}

void DKart::SetCommandHook(int id, ChartCommandHook hook) { CommandHooks()[id] = std::move(hook); }
void DKart::SetDescriptionHook(DescriptionHook hook) { Description() = std::move(hook); }

void DKart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  geometry_ = PaintChart(p, chart_, aspects_, WheelSettingsFrom(AppSettings()),
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
  if (last_hit_.kind != HitKind::kNothing && Description()) Description()(*this, last_hit_);
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
  auto hook = CommandHooks().find(id);
  if (hook != CommandHooks().end() && hook->second) {
    hook->second(*this, id);
    return;
  }
  DChild::Command(id);
}

int DKart::PrintOn(QPrinter& printer, bool legend) {
  printer.setDocName(FromCp1251(W("Карта")));
  QPainter p;
  if (!p.begin(&printer)) return -1;
  PaintChart(p, chart_, aspects_, WheelSettingsFrom(AppSettings()),
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
  if (AppSettings().Option(kOptPrintDialog)) {
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
  DUApp* app = DUApp::Instance();
  if (!app || !app->Client()) return nullptr;
  auto* kart = new DKart(ChartCounter() + 1, rec);
  kart->ShowIn(app->Client());
  return kart;
}

namespace {
const StartupHookRegistration kRegisterChartCount([] {
  if (DUApp* app = DUApp::Instance()) app->open_chart_count = &OpenChartCount;
});
}  // namespace

}  // namespace kv
