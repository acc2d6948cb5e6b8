// The birth moment, place and chart settings of the chart commands (chart, render,
// example): one reader, so that the commands accept the same options with the same
// checks and compute the same chart.
#pragma once

#include "app/cli/cli_command.h"
#include "aspects/aspect_finder.h"
#include "chart/calc/chart_calc.h"
#include "chart/record/chart_record.h"

namespace kv::cli {

// The switches of the calculation, over option bytes 0 to 2 of the settings:
//   [--true-node | --mean-node] [--osc-apogee | --mean-apogee] [--helio | --geo]
OptionSpecs ChartSwitchOptions();
int ReadChartSwitches(const char* command, const CliArgs& args, Settings& settings);

// The options of a birth moment and the chart settings:
//   --date DD.MM.YYYY --time HH:MM[:SS] (--corr HOURS --lat PACKED --lon PACKED | --town TEXT)
// --town takes the place and the correction of the first town of the "town" command's
// list; --lat, --lon, --corr and --place given with it override what it took.
//   [--system S] [--unknown-time] [--name TEXT] [--place TEXT] [--sex 0|1]
//   [--true-node | --mean-node] [--osc-apogee | --mean-apogee] [--helio | --geo]
//   [--orbs FILE]
OptionSpecs ChartRequestOptions();

struct ChartRequest {
  ChartRecord rec;       // moment, place, texts, sex, house system; lunar day asked
  ChartOptions options;  // node, apogee, heliocentric
  // The context's settings with the command line's overrides: house system, orb
  // file and option bytes 0 to 2. The picture and the report read them from here.
  Settings settings;
};

// Reads the options into `out`: 0, or the message and exit status 2.
int ReadChartRequest(const char* command, const CliContext& ctx, const CliArgs& args,
                     ChartRequest& out);

// The aspects the report lists: masks "MaskP" and "MaskA", cusps with option byte 13
// when the chart has houses; points of the computed chart without a position never.
AspectListOptions AspectOptionsOf(const ChartRequest& request);

}  // namespace kv::cli
