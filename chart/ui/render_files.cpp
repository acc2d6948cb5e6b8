#include "chart/ui/render_files.h"

#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/settings/program_settings.h"
#include "app/textres/text_resources.h"
#include "chart/ui/chart_painter.h"

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

// Painting needs a Gui application; the command line runs without a display.
void EnsureGuiApplication() {
  if (QGuiApplication::instance()) return;
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char arg0[] = "kvimarot-chart";
  static char* argv[] = {arg0, nullptr};
  // Never destroyed: at exit Qt's own statics are gone before ours, and deleting the
  // application then crashes the process after its files were written.
  new QGuiApplication(argc, argv);
}

std::string Resolve(const cli::CliContext& ctx, const std::string& path) {
  if (path.empty() || ctx.original_cwd.empty()) return path;
  std::filesystem::path p(path);
  return p.is_absolute() ? path : (std::filesystem::path(ctx.original_cwd) / p).string();
}

}  // namespace

bool ParseRenderOptions(const std::vector<std::string>& args, RenderRequest& out,
                        std::string* error) {
  auto fail = [error](const std::string& m) {
    if (error) *error = m;
    return false;
  };
  for (const char* name : {"--png", "--pdf", "--size"})
    if (Has(args, name) && !Value(args, name)) return fail(std::string(name) + " needs a value");
  out.png = Value(args, "--png").value_or("");
  out.pdf = Value(args, "--pdf").value_or("");
  out.legend = Has(args, "--legend");
  if (const auto size = Value(args, "--size")) {
    int w = 0, h = 0;
    char tail = 0;
    if (std::sscanf(size->c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 16 || h < 16 ||
        w > 8192 || h > 8192)
      return fail("--size wants WxH, each 16..8192, not '" + *size + "'");
    out.width = w;
    out.height = h;
  }
  return true;
}

int RenderChartFiles(const ChartRecord& rec, const RenderRequest& request,
                     const WheelSettings& ws) {
  EnsureGuiApplication();
  EnsureChartFonts();
  if (AppLists().zod.Count() == 0) AppLists().zod = Resources().LookupList("ZOD");
  if (AppLists().ph.Count() == 0) AppLists().ph = Resources().LookupList("P-H");
  const AspectMatrix aspects = ChartAspectMatrix(rec, ws.orb_file);
  int status = 0;
  if (!request.png.empty()) {
    const QImage img = RenderChartImage(rec, aspects, ws, request.width, request.height);
    if (!img.save(QString::fromStdString(request.png), "PNG")) {
      std::fprintf(stderr, "cannot write the picture '%s'\n", request.png.c_str());
      status = 1;
    }
  }
  if (!request.pdf.empty() &&
      PrintChartToPdf(rec, aspects, ws, request.legend, QString::fromStdString(request.pdf)) != 0) {
    std::fprintf(stderr, "cannot write the page '%s'\n", request.pdf.c_str());
    status = 1;
  }
  return status;
}

int RenderChartToFiles(const ChartRecord& rec, const cli::CliContext& ctx, const cli::CliArgs& args) {
  RenderRequest request;
  std::string error;
  if (!ParseRenderOptions(args, request, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  if (request.png.empty() && request.pdf.empty()) return 0;
  request.png = Resolve(ctx, request.png);
  request.pdf = Resolve(ctx, request.pdf);
  Settings settings;
  ReadSettingsFile(kSettingsFile, settings);  // absent: the defaults
  return RenderChartFiles(rec, request, WheelSettingsFrom(settings));
}

int RenderChartToFiles(const ChartRecord& rec, const cli::CliArgs& args) {
  return RenderChartToFiles(rec, cli::CliContext{}, args);
}

}  // namespace kv
