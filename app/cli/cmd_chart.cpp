// Chart commands of kvimarot-chart: houses, lunar day, a whole natal chart as a
// report or JSON, and the batch path that computes charts from standard input.

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/cli/cli_birth.h"
#include "app/cli/cli_command.h"
#include "app/cli/cli_engine.h"
#include "app/cli/cli_pictures.h"
#include "app/cli/commands.h"
#include "app/settings/program_settings.h"
#include "aspects/aspect_finder.h"
#include "aspects/aspect_names.h"
#include "astro/constants.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/lunar/lunar_day.h"
#include "chart/calc/calc_houses.h"
#include "chart/calc/chart_calc.h"
#include "chart/record/chart_rules.h"
#include "chart/wheel/chart_panels.h"
#include "chart/wheel/chart_texts.h"
#include "common/birth_checks.h"
#include "common/calendar.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/tokens.h"

namespace kv::cli {

// ---------------------------------------------------------------- houses

int HousesCommand(const CliContext& ctx, const CliArgs& args) {
  const char* kName = "houses";
  int status = CheckOptions(kName, args, {{"--ut", true}, {"--lat", true}, {"--lon", true},
                                          {"--system", true}});
  double jd = 0, lat = 0, lon = 0;
  int16_t system = 0;
  if (status || (status = ReadJulianDay(kName, args, "--ut", &jd)) ||
      (status = ReadPlace(kName, args, &lat, &lon)) ||
      (status = ReadHouseSystem(kName, args, ctx.settings.house_system, &system)))
    return status;
  if (!StartEngine(ctx, &status)) return status;
  ChartRecord rec = DefaultChartRecord();
  SetBirthMoment(rec, jd, 0.0);
  rec.lat_packed = lat;
  rec.lon_packed = lon;
  rec.house_system = system;
  const BodyPosition sun = CalcOneBody(jd, 1, {});  // the Sun's systems need it
  if (sun.state == BodyState::kDamaged) return EngineFailure(Engine().failure.message());
  if (sun.state == BodyState::kNoData && (system == kHousesFromSun || system == kHousesFromSunSign))
    return EngineFailure(Text("cliNoData"));
  rec.lon[1] = sun.lon_deg;
  const HouseCusps h = CalcHouses(rec);
  std::printf("%d\n", rec.house_system);
  PrintNumbers(&h.cusp[1], 12);
  const double angles[3] = {h.asc_deg, h.mc_deg, h.vertex_deg};
  PrintNumbers(angles, 3);
  return 0;
}

// ---------------------------------------------------------------- lunar-day

int LunarDayCommand(const CliContext& ctx, const CliArgs& args) {
  const char* kName = "lunar-day";
  OptionSpecs specs = {{"--ut", true}, {"--offset", true}, {"--lat", true}, {"--lon", true}};
  for (const OptionSpec& s : ChartSwitchOptions()) specs.push_back(s);
  int status = CheckOptions(kName, args, specs);
  double jd = 0, offset = 0, lat = 0, lon = 0;
  Settings settings = ctx.settings;
  if (status || (status = ReadJulianDay(kName, args, "--ut", &jd)) ||
      (status = ReadNumber(kName, args, "--offset", &offset)) ||
      (status = ReadPlace(kName, args, &lat, &lon)) ||
      (status = ReadChartSwitches(kName, args, settings)))
    return status;
  if (std::fabs(offset) > kMaxCorrectionHours / 24.0)
    return Refuse(kName, Typed("--offset", *OptionValue(args, "--offset")), "ChkOffs");
  if (!StartEngine(ctx, &status)) return status;
  // The search reaches 30 days back and 2 days on: both ends must be in the files.
  if (!EphemerisDateInRange(jd - 31.0) || !EphemerisDateInRange(jd + 3.0)) return 1;
  Engine().failure = {};
  const int n = LunarDayNumber(jd, offset, DegMinToDegrees(lat) * kDegToRad,
                               DegMinToDegrees(lon), ChartPoints(ChartOptionsFrom(settings)));
  // Never day 0: a search that met a damaged file or ran out of data says so.
  if (!Engine().failure.ok()) return EngineFailure(Engine().failure.message());
  if (n == 0) return EngineFailure(Text("LunNoDat"));
  std::printf("%d\n", n);
  return 0;
}

// ---------------------------------------------------------------- chart

namespace {

// "%-12s" counts bytes; Cyrillic names take two bytes a letter, so pad by letters.
std::string PadLetters(const std::string& utf8, size_t width) {
  size_t letters = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++letters;
  return utf8 + std::string(letters < width ? width - letters : 0, ' ');
}

// Names of chart points 1..31 (bodies, cusps, the Vertex and the lots) and of signs,
// from the program's lists "P-H" and "ZOD".
std::string PointName(int point) { return Cp1251ToUtf8(AppLists().ph.At(static_cast<size_t>(point - 1))); }
std::string SignName(int sign) { return Cp1251ToUtf8(AppLists().zod.At(static_cast<size_t>(sign - 1))); }

constexpr size_t kNameColumn = 15;  // "Жребий Фортуны" and a blank
constexpr size_t kSignColumn = 9;

// One row of the position table: point, sign, degrees and minutes as the chart
// window's panel rounds them, and the retrograde mark; "нет данных" for a point
// without a position.
void PrintPositionRow(const ChartRecord& rec, int point, bool retrograde) {
  if (!PointComputed(rec, point)) {
    std::printf("%s %s\n", PadLetters(PointName(point), kNameColumn).c_str(), NoData().c_str());
    return;
  }
  const SignPosition p = SignPositionOf(rec.lon[point]);
  std::printf("%s %s %02d°%02d'%s\n", PadLetters(PointName(point), kNameColumn).c_str(),
              PadLetters(SignName(p.sign), kSignColumn).c_str(), p.degrees, p.minutes,
              retrograde ? " r" : "");
}

void PrintAspectRow(const FoundAspect& a) {
  const DegreesMinutes orb = RoundToMinutes(static_cast<double>(a.separation) - a.angle);
  std::printf("%s %s %s %d°%02d'\n", PadLetters(PointName(a.a), kNameColumn).c_str(),
              PadLetters(PointName(a.b), kNameColumn).c_str(),
              PadLetters(Cp1251ToUtf8(AspectName(a.angle)), kNameColumn).c_str(), orb.degrees,
              orb.minutes);
}

void PrintReport(const ChartRequest& request, const std::vector<FoundAspect>& aspects) {
  const ChartRecord& rec = request.rec;
  const WheelSettings ws = WheelSettingsFrom(request.settings);
  for (const std::string& line : HeaderLines(rec, ChartTextsFrom(Resources())))
    std::printf("%s\n", Cp1251ToUtf8(TrimRight(line)).c_str());
  std::printf("\n");
  for (int b = 1; b <= kBodyCount; ++b)
    if (ws.Shows(b)) PrintPositionRow(rec, b, ShowsRetrograde(b, rec, ws));
  if (HasHouses(rec)) {
    std::printf("\n");
    for (int k = 1; k <= 12; ++k) PrintPositionRow(rec, kFirstCusp - 1 + k, false);
  }
  std::printf("\n");
  for (int slot = kVertexSlot; slot < kVertexSlot + 3; ++slot) PrintPositionRow(rec, slot, false);
  if (!aspects.empty()) {
    std::printf("\n%s\n", Cp1251ToUtf8(Text("cliAsp")).c_str());
    for (const FoundAspect& a : aspects) PrintAspectRow(a);
  }
}

std::string JsonString(const char* cp1251) {
  std::string utf8 = Cp1251ToUtf8(cp1251);
  std::string out = "\"";
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// Values of points first..first+n-1; a point without a position is the text "NoDat".
std::string NumberList(const ChartRecord& rec, const double* values, int first, int n) {
  std::string s = "[";
  for (int i = 0; i < n; ++i) {
    if (i) s += ", ";
    if (!PointComputed(rec, first + i)) {
      s += JsonString(Text("NoDat").c_str());
      continue;
    }
    s += FormatGeneral(values[i], 15);
  }
  return s + "]";
}

void PrintJson(const ChartRecord& rec, const std::vector<FoundAspect>& aspects) {
  const auto lon = CopyLongitudes(rec);
  double lat[17], speed[17];
  std::memcpy(lat, reinterpret_cast<const char*>(&rec) + offsetof(ChartRecord, lat), sizeof lat);
  std::memcpy(speed, reinterpret_cast<const char*>(&rec) + offsetof(ChartRecord, speed),
              sizeof speed);
  // A lunar day that was not found is null, never day 0.
  const std::string lunar_day = rec.lunar_day == 0 ? "null" : std::to_string(rec.lunar_day);
  std::string out = "{\"jd_local\": " + FormatGeneral(rec.jd_local, 15) +
                    ", \"jd_ut\": " + FormatGeneral(rec.jd_ut, 15) +
                    ", \"correction\": " + FormatGeneral(rec.correction_h, 15) +
                    ", \"house_system\": " + std::to_string(rec.house_system) +
                    ", \"lunar_day\": " + lunar_day +
                    ", \"name\": " + JsonString(rec.name) + ", \"place\": " + JsonString(rec.place) +
                    ", \"lon\": " + NumberList(rec, &lon[1], 1, 31) +
                    ", \"lat\": " + NumberList(rec, &lat[1], 1, 16) +
                    ", \"speed\": " + NumberList(rec, &speed[1], 1, 16) +
                    ", \"aspects\": " + AspectsJson(aspects) + "}";
  std::printf("%s\n", out.c_str());
}

OptionSpecs PictureOptions() {
  return {{"--png", true}, {"--pdf", true}, {"--size", true}, {"--legend", false}};
}

// Computes the chart of a request; the report or JSON, then the pictures asked for.
int ComputeAndPrintChart(const CliContext& ctx, const ChartRequest& request_in,
                         const CliArgs& args, bool json) {
  ChartRequest request = request_in;
  const ChartRecord base = DefaultChartRecord();
  if (CalculateChart(request.rec, &base, kNatalChart, request.options) != 0) return 1;
  const auto lon_all = CopyLongitudes(request.rec);
  const std::vector<FoundAspect> aspects =
      ChartAspects(lon_all, request.settings.orb_file, AspectOptionsOf(request));
  if (json) PrintJson(request.rec, aspects);
  else PrintReport(request, aspects);
  if (HasFlag(args, "--png") || HasFlag(args, "--pdf")) {
    std::fflush(stdout);  // the report stays ahead of the picture's messages
    return WriteChartPictures(ctx, request.rec, request.settings, args);
  }
  return 0;
}

}  // namespace

int ChartCommand(const CliContext& ctx, const CliArgs& args) {
  const char* kName = "chart";
  OptionSpecs specs = ChartRequestOptions();
  for (const OptionSpec& s : PictureOptions()) specs.push_back(s);
  specs.push_back({"--json", false});
  int status = CheckOptions(kName, args, specs);
  ChartRequest request;
  if (status || (status = ReadChartRequest(kName, ctx, args, request)) ||
      (status = CheckPictureOptions(kName, args)))
    return status;
  if (!StartEngine(ctx, &status)) return status;
  return ComputeAndPrintChart(ctx, request, args, HasFlag(args, "--json"));
}

// ---------------------------------------------------------------- render, example

// The picture of a chart without the report: the chart window's picture and the
// printed page, with the same options and checks as "chart".
int RenderCommand(const CliContext& ctx, const CliArgs& args) {
  const char* kName = "render";
  OptionSpecs specs = ChartRequestOptions();
  for (const OptionSpec& s : PictureOptions()) specs.push_back(s);
  int status = CheckOptions(kName, args, specs);
  ChartRequest request;
  if (status || (status = ReadChartRequest(kName, ctx, args, request)) ||
      (status = CheckPictureOptions(kName, args)))
    return status;
  if (!OptionValue(args, "--png") && !OptionValue(args, "--pdf"))
    return RefuseWith(kName, "cliNoOut", "");
  if (!PicturesBuiltIn()) return EngineFailure(Text("cliNoPaint"));
  if (!StartEngine(ctx, &status)) return status;
  const ChartRecord base = DefaultChartRecord();
  // A failed calculation ("DEp" already printed) must not draw stale positions.
  if (CalculateChart(request.rec, &base, kNatalChart, request.options) != 0) return 1;
  return WriteChartPictures(ctx, request.rec, request.settings, args);
}

// "example": the main job without a display. A built-in birth moment (Moscow,
// 5 March 1961, 14:07 local time, three hours ahead of universal time) goes through
// the chart command a user would call: the report, then the wheel picture.
int ExampleCommand(const CliContext& ctx, const CliArgs& args) {
  const char* kName = "example";
  int status = CheckOptions(kName, args, {{"--png", true}});
  if (status) return status;
  const std::string png = OptionValue(args, "--png").value_or("example.png");
  CliArgs chart = {"--date", "05.03.1961", "--time", "14:07:00", "--corr", "-3",
                   "--lat",  "55.45",      "--lon",  "37.37",    "--name", "Пример",
                   "--place", "Москва"};
  if (PicturesBuiltIn()) chart.insert(chart.end(), {"--png", png, "--size", "1200x900"});
  ChartRequest request;
  if ((status = ReadChartRequest(kName, ctx, chart, request)) != 0) return status;
  if (!StartEngine(ctx, &status)) return status;
  if ((status = ComputeAndPrintChart(ctx, request, chart, false)) != 0) return status;
  if (PicturesBuiltIn())
    std::printf("\n%s %s\n", Cp1251ToUtf8(Text("cliPic")).c_str(),
                ResolveOutputPath(ctx, png).c_str());
  return 0;
}

}  // namespace kv::cli
