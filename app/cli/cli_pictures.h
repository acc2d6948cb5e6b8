// The chart pictures of the command line: --png, --pdf, --size and --legend of
// "chart", "render" and "example". The build links the chart painter
// (cli_pictures.cpp) when it builds with Qt, else a stand-in that refuses to
// paint (cli_pictures_none.cpp).
#pragma once

#include "app/cli/cli_command.h"
#include "chart/record/chart_record.h"

namespace kv::cli {

// Whether this build paints pictures.
bool PicturesBuiltIn();

// The picture options, checked before anything is computed: 0, or the message and 2.
int CheckPictureOptions(const char* command, const CliArgs& args);

// Writes the pictures the arguments ask for of a computed chart, relative paths taken
// from the folder the program was started in, with `settings` (kvi.ini and the command
// line's overrides). 0 when nothing was asked or all was written, 1 when writing
// failed or this build does not paint, 2 for bad picture options.
int WriteChartPictures(const CliContext& ctx, const ChartRecord& rec, const Settings& settings,
                       const CliArgs& args);

// Ends what painting started; called before main returns.
void EndPictures();

}  // namespace kv::cli
