#include "app/cli/cli_engine.h"

#include <cmath>
#include <cstdio>

#include "astro/ephemeris/ephemeris.h"
#include "astro/houses/house_systems.h"
#include "common/birth_checks.h"
#include "common/codepage.h"
#include "common/numbers.h"

namespace kv::cli {
namespace {

// The calendar's span: 1 January 4713 BC, noon, to the end of 31 December 9999.
constexpr double kCalendarFirstJd = 0.0;
constexpr double kCalendarLastJd = 5373484.4999;

}  // namespace

int EngineFailure(const std::string& message) {
  PrintError(message);
  return 1;
}

bool StartEngine(const CliContext& ctx, int* status) {
  const Status s = InitEphemeris(ctx.ephe_dir);
  if (!s.ok()) {
    *status = EngineFailure(s.message());
    return false;
  }
  return true;
}

int ReadJulianDay(const char* command, const CliArgs& args, const char* option, double* jd) {
  int status = 0;
  const std::string* text = RequiredValue(command, args, option, &status);
  if (!text) return status;
  const auto v = ParseDouble(*text);
  if (!v || *v < kChartRangeFirst || *v > kChartRangeLast)
    return Refuse(command, Typed(option, *text), "ChkJD");
  *jd = *v;
  return 0;
}

int ReadCalendarJulianDay(const char* command, std::string_view text, double* jd) {
  const auto v = ParseDouble(text);
  if (!v || *v < kCalendarFirstJd || *v > kCalendarLastJd)
    return Refuse(command, std::string(text), "ChkJDd");
  *jd = *v;
  return 0;
}

int ReadPlace(const char* command, const CliArgs& args, double* lat_packed, double* lon_packed) {
  int status = 0;
  const std::string* lat = RequiredValue(command, args, "--lat", &status);
  if (!lat) return status;
  const std::string* lon = RequiredValue(command, args, "--lon", &status);
  if (!lon) return status;
  const Checked<double> la = CheckLatitude(*lat);
  if (!la.ok()) return Refuse(command, Typed("--lat", *lat), la.error);
  const Checked<double> lo = CheckLongitude(*lon);
  if (!lo.ok()) return Refuse(command, Typed("--lon", *lon), lo.error);
  *lat_packed = la.value;
  *lon_packed = lo.value;
  return 0;
}

int ReadHouseSystem(const char* command, const CliArgs& args, int16_t fallback, int16_t* system) {
  const auto text = OptionValue(args, "--system");
  if (!text) {
    *system = fallback;
    return 0;
  }
  const auto v = ParseInteger(*text);
  if (!v || *v < kHouseRegiomontanus || *v > kHouseEqualVertex)
    return Refuse(command, Typed("--system", *text), "ChkHs");
  *system = static_cast<int16_t>(*v);
  return 0;
}

int ReadInteger(const char* command, const CliArgs& args, const char* option, long long* value) {
  int status = 0;
  const std::string* text = RequiredValue(command, args, option, &status);
  if (!text) return status;
  const auto v = ParseInteger(*text);
  if (!v) return Refuse(command, Typed(option, *text), "ChkInt");
  *value = *v;
  return 0;
}

int ReadNumber(const char* command, const CliArgs& args, const char* option, double* value) {
  int status = 0;
  const std::string* text = RequiredValue(command, args, option, &status);
  if (!text) return status;
  const auto v = ParseDouble(*text);
  if (!v) return Refuse(command, Typed(option, *text), "ChkNum");
  *value = *v;
  return 0;
}

}  // namespace kv::cli
