// Chart pictures without a display: the chart window's picture as a PNG file and the
// printed page as a PDF file, painted by the same routine as the window.
#pragma once

#include <string>
#include <vector>

#include "chart/record/chart_record.h"
#include "chart/wheel/chart_texts.h"
#include "chart/wheel/wheel_settings.h"

namespace kv {

struct RenderRequest {
  std::string png;   // empty: no picture
  std::string pdf;   // empty: no page
  int width = 1280;
  int height = 1024;
  bool legend = false;  // the page with the symbol legend (command 2101)
};

// Reads --png FILE, --pdf FILE, --size WxH and --legend. False with the message (1251
// text) when a value is missing or the size is not two numbers 16..8192.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderRequest& out,
                        std::string* error);

// Writes the requested files; 0, or 1 with a message on stderr when one cannot be
// written. Starts an offscreen Qt application when none runs (see
// EndPictureApplication).
int RenderChartFiles(const ChartRecord& rec, const RenderRequest& request,
                     const WheelSettings& ws, const ChartTexts& texts);

// Ends the Qt application a picture started, with output flushed. A program without
// an application of its own calls it before main returns: an application left to
// the exit handlers is destroyed after Qt's own storage and crashes the exit.
void EndPictureApplication();

}  // namespace kv
