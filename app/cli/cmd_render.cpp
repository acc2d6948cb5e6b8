// The chart's picture without a display: "render" computes a natal chart and writes
// the chart window's picture (PNG) and the printed page (PDF) with the window's own
// paint routine.
#include <cmath>
#include <cstdio>
#include <string>

#include "app/cli/cli_command.h"
#include "app/cli/cli_engine.h"
#include "astro/calendar.h"
#include "chart/record/chart_record.h"
#include "common/codepage.h"

#if KV_HAVE_CHART_RENDER
#include "chart/calc/chart_calc.h"
#include "chart/ui/render_files.h"
#endif

namespace kv::cli {
namespace {

constexpr const char* kRenderUsage =
    "render --date DD.MM.YYYY --time HH:MM:SS --corr H --lat PACKED --lon PACKED [--system S] "
    "[--unknown-time] [--name TEXT] [--place TEXT] [--png FILE] [--size WxH] [--pdf FILE] "
    "[--legend]";

int RenderCommand(const CliContext& ctx, const CliArgs& args) {
#if KV_HAVE_CHART_RENDER
  const auto date = OptionValue(args, "--date");
  const auto time = OptionValue(args, "--time");
  const auto corr = DoubleOption(args, "--corr");
  const auto lat = DoubleOption(args, "--lat");
  const auto lon = DoubleOption(args, "--lon");
  if (!date || !time || !corr || !lat || !lon || !std::isfinite(*corr) ||
      std::fabs(*corr) > 24.0 || !std::isfinite(*lat) || !std::isfinite(*lon) ||
      std::fabs(*lat) > 90.0 || std::fabs(*lon) > 180.0)
    return UsageError(kRenderUsage);
  if (!OptionValue(args, "--png") && !OptionValue(args, "--pdf")) {
    std::fprintf(stderr, "render: nothing to write, give --png FILE or --pdf FILE\n");
    return UsageError(kRenderUsage);
  }
  long system = 3;
  if (const auto s = OptionValue(args, "--system")) {
    const auto v = ParseLong(*s);
    if (!v || *v < 1 || *v > 12) return UsageError(kRenderUsage);
    system = *v;
  }
  const DateTimeRecord f = ParseDateTimeFields(*date, *time);
  const bool fields_ok = f.day >= 1 && f.day <= 31 && f.month >= 1 && f.month <= 12 &&
                         f.hour >= 0 && f.hour <= 23 && f.minute >= 0 && f.minute <= 59 &&
                         f.second >= 0 && f.second <= 59;
  const double jd_local = fields_ok ? ParseDateTime(*date + " " + *time, false) : -1.0;
  if (jd_local == -1.0 || !std::isfinite(jd_local)) {
    std::fprintf(stderr, "cannot read the date '%s %s'\n", date->c_str(), time->c_str());
    return UsageError(kRenderUsage);
  }
  int status = 0;
  if (!StartEngine(ctx, &status)) return status;
  ChartRecord rec = DefaultChartRecord();
  SetBirthMoment(rec, jd_local, *corr);
  rec.lat_packed = *lat;
  rec.lon_packed = *lon;
  if (const auto name = OptionValue(args, "--name")) SetChartText(rec.name, Utf8ToCp1251(*name).c_str());
  if (const auto place = OptionValue(args, "--place"))
    SetChartText(rec.place, Utf8ToCp1251(*place).c_str());
  rec.house_system =
      static_cast<int16_t>(HasFlag(args, "--unknown-time") ? kNoHousesSystem : system);
  rec.lunar_day = 0;
  const ChartRecord base = DefaultChartRecord();
  // A failed calculation ("DEp" already printed) must not draw stale positions.
  if (CalculateChart(rec, &base, kNatalChart, ChartOptions{}) != 0) return 1;
  return RenderChartToFiles(rec, ctx, args);
#else
  std::fprintf(stderr, "render: this kvimarot-chart was built without the Qt chart painter\n");
  return 1;
#endif
}

const CliCommandRegistration kRender({"render", kRenderUsage, &RenderCommand});

}  // namespace
}  // namespace kv::cli
