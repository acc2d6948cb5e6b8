#include "app/cli/cli_birth.h"

#include "app/cli/cli_engine.h"
#include "app/cli/cli_town.h"
#include "chart/record/chart_rules.h"
#include "common/birth_checks.h"
#include "common/calendar.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/tokens.h"

namespace kv::cli {
namespace {

// A setting switched on or off by a pair of flags; both at once are refused.
int Switch(const char* command, const CliArgs& args, const char* on, const char* off,
           uint8_t* option_byte) {
  const bool set = HasFlag(args, on), clear = HasFlag(args, off);
  if (set && clear) return RefuseWith(command, "cliExcl", std::string(on) + " " + off);
  if (set) *option_byte = 1;
  if (clear) *option_byte = 0;
  return 0;
}

// --lat and --lon, each only when given.
int ReadGivenPlace(const char* command, const CliArgs& args, std::optional<double>* lat,
                   std::optional<double>* lon) {
  if (const auto text = OptionValue(args, "--lat")) {
    const Checked<double> v = CheckLatitude(*text);
    if (!v.ok()) return Refuse(command, Typed("--lat", *text), v.error);
    *lat = v.value;
  }
  if (const auto text = OptionValue(args, "--lon")) {
    const Checked<double> v = CheckLongitude(*text);
    if (!v.ok()) return Refuse(command, Typed("--lon", *text), v.error);
    *lon = v.value;
  }
  return 0;
}

}  // namespace

OptionSpecs ChartSwitchOptions() {
  return {{"--true-node", false}, {"--mean-node", false},   {"--osc-apogee", false},
          {"--mean-apogee", false}, {"--helio", false},     {"--geo", false}};
}

int ReadChartSwitches(const char* command, const CliArgs& args, Settings& s) {
  int status = 0;
  if ((status = Switch(command, args, "--true-node", "--mean-node", &s.ov[kOptTrueNode])) != 0 ||
      (status = Switch(command, args, "--osc-apogee", "--mean-apogee",
                       &s.ov[kOptOsculatingApogee])) != 0 ||
      (status = Switch(command, args, "--helio", "--geo", &s.ov[kOptHeliocentric])) != 0)
    return status;
  return 0;
}

OptionSpecs ChartRequestOptions() {
  OptionSpecs specs = {{"--date", true},   {"--time", true},          {"--corr", true},
                       {"--lat", true},    {"--lon", true},           {"--system", true},
                       {"--unknown-time", false}, {"--name", true},   {"--place", true},
                       {"--sex", true},    {"--orbs", true},          {"--town", true}};
  for (const OptionSpec& s : ChartSwitchOptions()) specs.push_back(s);
  return specs;
}

int ReadChartRequest(const char* command, const CliContext& ctx, const CliArgs& args,
                     ChartRequest& out) {
  int status = 0;
  const std::string* date = RequiredValue(command, args, "--date", &status);
  if (!date) return status;
  const std::string* time = RequiredValue(command, args, "--time", &status);
  if (!time) return status;
  // --town gives the place and the correction; --lat, --lon and --corr then override.
  const std::optional<std::string> town = OptionValue(args, "--town");
  const std::optional<std::string> corr = OptionValue(args, "--corr");
  if (!corr && !town) return RefuseWith(command, "cliNeed", "--corr");
  const Checked<BirthDate> d = CheckDateText(*date);
  if (!d.ok()) return Refuse(command, Typed("--date", *date), d.error);
  const Checked<ClockTime> t = CheckTimeText(*time);
  if (!t.ok()) return Refuse(command, Typed("--time", *time), t.error);
  double correction = 0, lat = 0, lon = 0;
  if (corr) {
    const Checked<double> c = CheckCorrection(*corr);
    if (!c.ok()) return Refuse(command, Typed("--corr", *corr), c.error);
    correction = c.value;
  }
  if (!town) {
    if ((status = ReadPlace(command, args, &lat, &lon)) != 0) return status;
  } else if (TrimmedLength(*town) == 0) {
    return Refuse(command, Typed("--town", *town), "TwText");
  }
  std::optional<double> given_lat, given_lon;
  if (town && (status = ReadGivenPlace(command, args, &given_lat, &given_lon)) != 0) return status;

  out.settings = ctx.settings;
  Settings& s = out.settings;
  if ((status = ReadHouseSystem(command, args, s.house_system, &s.house_system)) != 0)
    return status;
  int sex = 0;
  if (const auto text = OptionValue(args, "--sex")) {
    const auto v = ParseInteger(*text);
    if (!v || (*v != 0 && *v != 1)) return Refuse(command, Typed("--sex", *text), "ChkSex");
    sex = static_cast<int>(*v);
  }
  if ((status = ReadChartSwitches(command, args, s)) != 0) return status;
  if (const auto orbs = OptionValue(args, "--orbs")) s.orb_file = *orbs;
  out.options = ChartOptionsFrom(s);

  ChartRecord& rec = out.rec;
  rec = DefaultChartRecord();
  const double jd_local = DateToJulianDay(DateTimeRecord{d.value.day, d.value.month, d.value.year,
                                                         t.value.hour, t.value.minute,
                                                         t.value.second});
  if (town) {
    TownPlace place;
    if ((status = FirstTownAt(*town, jd_local, &place)) != 0) return status;
    lat = given_lat.value_or(place.lat_packed);
    lon = given_lon.value_or(place.lon_packed);
    if (!corr) {
      correction = place.correction_h;
      if (place.clocks_changed) PrintError(Text("ClkCh"));
    }
    SetChartText(rec.place, place.place.c_str());
  }
  SetBirthMoment(rec, jd_local, correction);
  rec.lat_packed = lat;
  rec.lon_packed = lon;
  if (const auto name = OptionValue(args, "--name")) SetChartText(rec.name, Utf8ToCp1251(*name).c_str());
  if (const auto place = OptionValue(args, "--place"))
    SetChartText(rec.place, Utf8ToCp1251(*place).c_str());
  rec.sex = static_cast<uint8_t>(sex);
  // Without an exact birth time the chart has no houses: equal ones from 0 Aries.
  rec.house_system = HasFlag(args, "--unknown-time") ? kNoHousesSystem : s.house_system;
  rec.lunar_day = 0;
  return 0;
}

AspectListOptions AspectOptionsOf(const ChartRequest& request) {
  AspectListOptions o;
  o.planet_mask = static_cast<uint32_t>(request.settings.planet_mask);
  // Points without a position take part in no aspect.
  o.aspected_mask =
      static_cast<uint32_t>(request.settings.aspected_mask) & ~MissingBodyMask(request.rec);
  o.with_cusps = request.settings.Option(kOptCuspAspects) && HasHouses(request.rec) &&
                 PointComputed(request.rec, kFirstCusp);
  return o;
}

}  // namespace kv::cli
