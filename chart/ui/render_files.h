// Chart pictures without a display: the chart window's picture as a PNG file and the
// printed page as a PDF file, painted by the same routine as the window.
#pragma once

#include <string>
#include <vector>

#include "app/cli/cli_command.h"
#include "chart/record/chart_record.h"
#include "chart/wheel/wheel_settings.h"

namespace kv {

struct RenderRequest {
  std::string png;   // empty: no picture
  std::string pdf;   // empty: no page
  int width = 1280;
  int height = 1024;
  bool legend = false;  // the page with the symbol legend (command 2101)
};

// Reads --png FILE, --pdf FILE, --size WxH and --legend. False with a message when a
// value is missing or the size is not two numbers 16..8192.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderRequest& out,
                        std::string* error);

// Writes the requested files; 0, or 1 with a message on stderr when one cannot be written.
int RenderChartFiles(const ChartRecord& rec, const RenderRequest& request,
                     const WheelSettings& ws);

// For the chart command of kvimarot-chart: renders when --png or --pdf is among the
// arguments (relative paths are taken from where the program was started), with the
// settings of "kvi.ini" in the working directory when it is there. Starts an offscreen
// Qt application when none runs. 0 when nothing was asked or all was written, 1 when
// writing failed, 2 for bad render options.
int RenderChartToFiles(const ChartRecord& rec, const cli::CliContext& ctx, const cli::CliArgs& args);
int RenderChartToFiles(const ChartRecord& rec, const cli::CliArgs& args);

}  // namespace kv
