#include "chart/ui/render_files.h"

#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "chart/ui/chart_painter.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/numbers.h"

namespace kv {
namespace {

std::optional<std::string> Value(const std::vector<std::string>& args, const char* name) {
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == name) return args[i + 1];
  return std::nullopt;
}

bool Has(const std::vector<std::string>& args, const char* name) {
  for (const auto& a : args)
    if (a == name) return true;
  return false;
}

// The application a picture started; owned here, ended by EndPictureApplication.
QGuiApplication* g_picture_app = nullptr;

// Painting needs a Gui application; the command line runs without a display.
void EnsureGuiApplication() {
  if (QGuiApplication::instance()) return;
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char arg0[] = "kvimarot-chart";
  static char* argv[] = {arg0, nullptr};
  g_picture_app = new QGuiApplication(argc, argv);
  // The application took the locale of the environment; numbers stay in the C form.
  std::setlocale(LC_NUMERIC, "C");
}

void ReportWriteFailure(const char* key, const std::string& path) {
  std::fprintf(stderr, "%s %s\n", Cp1251ToUtf8(Text(key)).c_str(), path.c_str());
}

}  // namespace

bool ParseRenderOptions(const std::vector<std::string>& args, RenderRequest& out,
                        std::string* error) {
  auto fail = [error](const std::string& m) {
    if (error) *error = m;
    return false;
  };
  for (const char* name : {"--png", "--pdf", "--size"})
    if (Has(args, name) && !Value(args, name)) return fail(Text("cliNeedVal") + " " + name);
  out.png = Value(args, "--png").value_or("");
  out.pdf = Value(args, "--pdf").value_or("");
  out.legend = Has(args, "--legend");
  if (const auto size = Value(args, "--size")) {
    const size_t x = size->find('x');
    const auto w = x == std::string::npos ? std::nullopt : ParseInteger(size->substr(0, x));
    const auto h = x == std::string::npos ? std::nullopt : ParseInteger(size->substr(x + 1));
    if (!w || !h || *w < 16 || *h < 16 || *w > 8192 || *h > 8192)
      return fail("--size " + Utf8ToCp1251(*size) + ": " + Text("ChkSize"));
    out.width = static_cast<int>(*w);
    out.height = static_cast<int>(*h);
  }
  return true;
}

int RenderChartFiles(const ChartRecord& rec, const RenderRequest& request,
                     const WheelSettings& ws, const ChartTexts& texts) {
  EnsureGuiApplication();
  EnsureChartFonts();
  const AspectMatrix aspects = ChartAspectMatrix(rec, ws.orb_file);
  int status = 0;
  if (!request.png.empty()) {
    const QImage img = RenderChartImage(rec, aspects, ws, texts, request.width, request.height);
    if (!img.save(QString::fromStdString(request.png), "PNG")) {
      ReportWriteFailure("cliNoPng", request.png);
      status = 1;
    }
  }
  if (!request.pdf.empty() && PrintChartToPdf(rec, aspects, ws, texts, request.legend,
                                              QString::fromStdString(request.pdf)) != 0) {
    ReportWriteFailure("cliNoPdf", request.pdf);
    status = 1;
  }
  return status;
}

void EndPictureApplication() {
  std::fflush(stdout);
  std::fflush(stderr);
  delete g_picture_app;
  g_picture_app = nullptr;
}

}  // namespace kv
