#include "app/cli/cli_pictures.h"

#include <cstdio>

#include "chart/ui/render_files.h"
#include "chart/wheel/chart_texts.h"
#include "chart/wheel/wheel_settings.h"
#include "common/codepage.h"
#include "common/text_resources.h"

namespace kv::cli {

bool PicturesBuiltIn() { return true; }

int CheckPictureOptions(const char* command, const CliArgs& args) {
  RenderRequest request;
  std::string error;
  if (!ParseRenderOptions(args, request, &error)) return RefuseText(command, error);
  return 0;
}

int WriteChartPictures(const CliContext& ctx, const ChartRecord& rec, const Settings& settings,
                       const CliArgs& args) {
  RenderRequest request;
  std::string error;
  if (!ParseRenderOptions(args, request, &error)) {
    std::fprintf(stderr, "%s\n", Cp1251ToUtf8(error).c_str());
    return 2;
  }
  if (request.png.empty() && request.pdf.empty()) return 0;
  if (!request.png.empty()) request.png = ResolveOutputPath(ctx, request.png);
  if (!request.pdf.empty()) request.pdf = ResolveOutputPath(ctx, request.pdf);
  return RenderChartFiles(rec, request, WheelSettingsFrom(settings), ChartTextsFrom(Resources()));
}

void EndPictures() { EndPictureApplication(); }

}  // namespace kv::cli
