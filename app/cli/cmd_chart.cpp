// Chart commands of kvimarot-chart: houses, lunar day, a whole natal chart as a
// report or JSON, and the batch path that computes charts from standard input.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/cli/cli_command.h"
#include "app/cli/cli_engine.h"
#include "app/textres/text_resources.h"
#include "aspects/aspect_finder.h"
#include "astro/calendar.h"
#include "astro/constants.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/houses/calc_houses.h"
#include "astro/lunar/lunar_day.h"
#include "chart/calc/chart_calc.h"
#include "chart/record/chart_rules.h"
#include "common/codepage.h"
#include "common/messages.h"
#if KV_HAVE_CHART_RENDER
#include "chart/ui/render_files.h"
#endif

namespace kv::cli {
namespace {

bool PlaceIsValid(double lat_packed, double lon_packed) {
  return std::isfinite(lat_packed) && std::isfinite(lon_packed) &&
         std::fabs(lat_packed) <= 90.0 && std::fabs(lon_packed) <= 180.0;
}

bool JulianDayIsValid(double jd) { return std::isfinite(jd) && std::fabs(jd) < 1e8; }

// ---------------------------------------------------------------- houses

constexpr const char* kHousesUsage = "houses --ut JD --lat PACKED --lon PACKED --system S";
int HousesCommand(const CliContext& ctx, const CliArgs& args) {
  const auto jd = DoubleOption(args, "--ut");
  const auto lat = DoubleOption(args, "--lat");
  const auto lon = DoubleOption(args, "--lon");
  const auto system_text = OptionValue(args, "--system");
  const long system = system_text ? ParseLong(*system_text).value_or(-99999) : -99999;
  if (!jd || !lat || !lon || !JulianDayIsValid(*jd) || !PlaceIsValid(*lat, *lon) ||
      system < -32768 || system > 32767)
    return UsageError(kHousesUsage);
  int status = 0;
  if (!StartEngine(ctx, &status)) return status;
  if (EphemerisDateInRange(*jd) != 0) return 1;  // the Sun's systems need the ephemeris
  ChartRecord rec = DefaultChartRecord();
  SetBirthMoment(rec, *jd, 0.0);
  rec.lat_packed = *lat;
  rec.lon_packed = *lon;
  rec.house_system = static_cast<int16_t>(system);
  rec.lon[1] = CalcOneBody(*jd, 1, {}).lon_deg;
  const HouseCusps h = CalcHouses(rec);
  std::printf("%d\n", rec.house_system);
  PrintNumbers(&h.cusp[1], 12);
  const double angles[3] = {h.asc_deg, h.mc_deg, h.vertex_deg};
  PrintNumbers(angles, 3);
  return 0;
}

// ---------------------------------------------------------------- lunar-day

constexpr const char* kLunarUsage = "lunar-day --ut JD --offset D --lat PACKED --lon PACKED";
int LunarDayCommand(const CliContext& ctx, const CliArgs& args) {
  const auto jd = DoubleOption(args, "--ut");
  const auto offset = DoubleOption(args, "--offset");
  const auto lat = DoubleOption(args, "--lat");
  const auto lon = DoubleOption(args, "--lon");
  if (!jd || !offset || !lat || !lon || !JulianDayIsValid(*jd) || !std::isfinite(*offset) ||
      !PlaceIsValid(*lat, *lon))
    return UsageError(kLunarUsage);
  int status = 0;
  if (!StartEngine(ctx, &status)) return status;
  // The search reaches 30 days back and 2 days on: both ends must be in the files.
  if (EphemerisDateInRange(*jd - 31.0) != 0 || EphemerisDateInRange(*jd + 3.0) != 0) return 1;
  const int n = LunarDayNumber(*jd, *offset, DegMinToDegrees(*lat) * kDegToRad,
                               DegMinToDegrees(*lon), ChartPoints({}));
  std::printf("%d\n", n);
  return 0;
}

// ---------------------------------------------------------------- chart

const char* const kBodyNames[17] = {"",        "Солнце", "Луна",   "Меркурий",   "Венера",
                                    "Марс",    "Юпитер", "Сатурн", "Уран",       "Нептун",
                                    "Плутон",  "В.Узел", "Селена", "Хирон",      "Прозерпина",
                                    "Лилит",   "Н.Узел"};
const char* const kSignNames[13] = {"",     "Овен",    "Телец",    "Близнецы", "Рак",
                                    "Лев",  "Дева",    "Весы",     "Скорпион", "Стрелец",
                                    "Козерог", "Водолей", "Рыбы"};

// Sign, degrees and minutes as the position table shows them: rounded to the minute.
struct SignPosition {
  int sign, degrees, minutes;
};
SignPosition ToSignPosition(double lon) {
  lon += 1.0 / 120.0;
  if (lon > 360.0) lon -= 360.0;
  int sign = static_cast<int>(lon / 30.0) + 1;
  if (sign > 12) sign = 12;
  const double in_sign = lon - 30.0 * (sign - 1);
  const int deg = static_cast<int>(in_sign);
  const int min = static_cast<int>(60.0 * (in_sign - deg));
  return {sign, deg, min};
}

bool RetrogradeMark(int body, double speed, const ChartOptions& o) {
  if (body > 16 || body == 1 || body == 2 || body == 14) return false;
  if (o.heliocentric && body != 11) return false;
  if ((body == 11 || body == 16) && !o.true_node) return true;
  if (body == 15 && !o.osc_apogee) return false;
  return speed <= 0;
}

std::string Utf8(const char* cp1251) { return Cp1251ToUtf8(cp1251); }

// What every output puts in place of a position the chart does not have.
std::string NoData() { return Cp1251ToUtf8(Text("NoDat")); }

// The lunar-day line of the report; empty when none was asked for.
std::string LunarDayLine(const ChartRecord& rec) {
  if (rec.lunar_day > 0) return std::to_string(rec.lunar_day) + "-й лунный день";
  if (rec.lunar_day == 0) return Cp1251ToUtf8(Text("LunNoDat"));
  return {};
}

// "%-12s" counts bytes; Cyrillic names take two bytes a letter, so pad by letters.
std::string PadLetters(const std::string& utf8, size_t width) {
  size_t letters = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++letters;
  return utf8 + std::string(letters < width ? width - letters : 0, ' ');
}

void PrintReport(const ChartRecord& rec, const ChartOptions& o,
                 const std::vector<FoundAspect>& aspects) {
  std::printf("%s\n", Utf8(rec.name).c_str());
  std::printf("LT: %s %s\n", FormatDateTime(rec.jd_local).c_str(), Utf8(WeekdayName(rec.jd_local)).c_str());
  std::printf("GMT:%s\n", FormatDateTime(rec.jd_ut).c_str());
  std::printf("%.2f %.2f %s\n", rec.lat_packed, rec.lon_packed, Utf8(rec.place).c_str());
  std::string system_name = Resources().LookupIndexed(rec.house_system, "HOUS");
  if (system_name.empty()) system_name = std::to_string(rec.house_system);  // no kvima.t
  std::printf("Дома: %s\n", Utf8(system_name.c_str()).c_str());
  if (const std::string day = LunarDayLine(rec); !day.empty()) std::printf("%s\n", day.c_str());
  std::printf("\n");
  for (int b = 1; b <= kBodyCount; ++b) {
    if (!PointComputed(rec, b)) {
      std::printf("%s %s\n", PadLetters(kBodyNames[b], 11).c_str(), NoData().c_str());
      continue;
    }
    const SignPosition p = ToSignPosition(rec.lon[b]);
    std::printf("%s %s %02d°%02d'%s\n", PadLetters(kBodyNames[b], 11).c_str(),
                PadLetters(kSignNames[p.sign], 9).c_str(), p.degrees, p.minutes,
                RetrogradeMark(b, rec.speed[b], o) ? " r" : "");
  }
  if (HasHouses(rec)) {
    std::printf("\n");
    for (int k = 1; k <= 12; ++k) {
      std::string label = k == 1 ? "Дом 1 (Асц)" : k == 10 ? "Дом 10 (MC)" : "Дом " + std::to_string(k);
      if (!PointComputed(rec, 16 + k)) {
        std::printf("%s %s\n", PadLetters(label, 11).c_str(), NoData().c_str());
        continue;
      }
      const SignPosition p = ToSignPosition(rec.lon[16 + k]);
      std::printf("%s %s %02d°%02d'\n", PadLetters(label, 11).c_str(),
                  PadLetters(kSignNames[p.sign], 9).c_str(), p.degrees, p.minutes);
    }
  }
  std::printf("\n");
  const char* extra[3] = {"Вертекс", "Жребий счастья", "Второй жребий"};
  for (int i = 0; i < 3; ++i) {
    if (!PointComputed(rec, kVertexSlot + i)) {
      std::printf("%s %s\n", PadLetters(extra[i], 14).c_str(), NoData().c_str());
      continue;
    }
    const SignPosition p = ToSignPosition(rec.lon[kVertexSlot + i]);
    std::printf("%s %s %02d°%02d'\n", PadLetters(extra[i], 14).c_str(),
                PadLetters(kSignNames[p.sign], 9).c_str(), p.degrees, p.minutes);
  }
  if (!aspects.empty()) {
    std::printf("\nАспекты:\n");
    auto point_name = [](int n) {
      return n <= kBodyCount ? std::string(kBodyNames[n]) : "Дом " + std::to_string(n - 16);
    };
    for (const FoundAspect& a : aspects)
      std::printf("%s %s %g (%.2f)\n", PadLetters(point_name(a.a), 11).c_str(),
                  PadLetters(point_name(a.b), 11).c_str(), a.angle, a.separation);
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
  char buf[32];
  for (int i = 0; i < n; ++i) {
    if (i) s += ", ";
    if (!PointComputed(rec, first + i)) {
      s += JsonString(Text("NoDat").c_str());
      continue;
    }
    std::snprintf(buf, sizeof buf, "%.15g", values[i]);
    s += buf;
  }
  return s + "]";
}

void PrintJson(const ChartRecord& rec, const std::vector<FoundAspect>* aspects) {
  const auto lon = CopyLongitudes(rec);
  double lat[17], speed[17];
  std::memcpy(lat, reinterpret_cast<const char*>(&rec) + offsetof(ChartRecord, lat), sizeof lat);
  std::memcpy(speed, reinterpret_cast<const char*>(&rec) + offsetof(ChartRecord, speed),
              sizeof speed);
  std::printf("{\"jd_local\": %.15g, \"jd_ut\": %.15g, \"correction\": %.15g, ", rec.jd_local,
              rec.jd_ut, rec.correction_h);
  // A lunar day that was not found is null, never day 0.
  if (rec.lunar_day == 0) std::printf("\"house_system\": %d, \"lunar_day\": null, ", rec.house_system);
  else std::printf("\"house_system\": %d, \"lunar_day\": %d, ", rec.house_system, rec.lunar_day);
  std::printf("\"name\": %s, \"place\": %s, ", JsonString(rec.name).c_str(),
              JsonString(rec.place).c_str());
  std::printf("\"lon\": %s, ", NumberList(rec, &lon[1], 1, 31).c_str());
  std::printf("\"lat\": %s, ", NumberList(rec, &lat[1], 1, 16).c_str());
  std::printf("\"speed\": %s", NumberList(rec, &speed[1], 1, 16).c_str());
  if (aspects) std::printf(", \"aspects\": %s", AspectsJson(*aspects).c_str());
  std::printf("}\n");
}

constexpr const char* kChartUsage =
    "chart --date DD.MM.YYYY --time HH:MM:SS --corr HOURS --lat PACKED --lon PACKED "
    "[--system S] [--unknown-time] [--name TEXT] [--place TEXT] [--sex 0|1] [--true-node] "
    "[--osc-apogee] [--helio] [--json] [--orbs FILE] [--png FILE [--size WxH]] [--pdf FILE]";
int ChartCommand(const CliContext& ctx, const CliArgs& args) {
  const auto date = OptionValue(args, "--date");
  const auto time = OptionValue(args, "--time");
  const auto corr = DoubleOption(args, "--corr");
  const auto lat = DoubleOption(args, "--lat");
  const auto lon = DoubleOption(args, "--lon");
  if (!date || !time || !corr || !lat || !lon || !std::isfinite(*corr) ||
      std::fabs(*corr) > 24.0 || !PlaceIsValid(*lat, *lon))
    return UsageError(kChartUsage);
  long system = 3;
  if (const auto s = OptionValue(args, "--system")) {
    const auto v = ParseLong(*s);
    if (!v || *v < -32768 || *v > 32767) return UsageError(kChartUsage);
    system = *v;
  }
  long sex = 0;
  if (const auto s = OptionValue(args, "--sex")) {
    const auto v = ParseLong(*s);
    if (!v || (*v != 0 && *v != 1)) return UsageError(kChartUsage);
    sex = *v;
  }
  const DateTimeRecord f = ParseDateTimeFields(*date, *time);
  const bool fields_ok = f.day >= 1 && f.day <= 31 && f.month >= 1 && f.month <= 12 &&
                         f.hour >= 0 && f.hour <= 23 && f.minute >= 0 && f.minute <= 59 &&
                         f.second >= 0 && f.second <= 59;
  const double jd_local = fields_ok ? ParseDateTime(*date + " " + *time, false) : -1.0;
  if (jd_local == -1.0 || !JulianDayIsValid(jd_local)) {
    std::fprintf(stderr, "cannot read the date '%s %s'\n", date->c_str(), time->c_str());
    return UsageError(kChartUsage);
  }
  ChartOptions options;
  options.true_node = HasFlag(args, "--true-node");
  options.osc_apogee = HasFlag(args, "--osc-apogee");
  options.heliocentric = HasFlag(args, "--helio");

  int status = 0;
  if (!StartEngine(ctx, &status)) return status;
  ChartRecord rec = DefaultChartRecord();
  SetBirthMoment(rec, jd_local, *corr);
  rec.lat_packed = *lat;
  rec.lon_packed = *lon;
  if (const auto name = OptionValue(args, "--name")) SetChartText(rec.name, Utf8ToCp1251(*name).c_str());
  if (const auto place = OptionValue(args, "--place"))
    SetChartText(rec.place, Utf8ToCp1251(*place).c_str());
  rec.sex = static_cast<uint8_t>(sex);
  // Without an exact birth time the chart has no houses: equal ones from 0 Aries.
  rec.house_system = static_cast<int16_t>(HasFlag(args, "--unknown-time") ? kNoHousesSystem : system);
  rec.lunar_day = 0;
  const ChartRecord base = DefaultChartRecord();
  if (CalculateChart(rec, &base, kNatalChart, options) != 0) return 1;

  AspectListOptions aspect_options;
  aspect_options.aspected_mask &= ~MissingBodyMask(rec);  // no aspects without positions
  const std::string orbs = OptionValue(args, "--orbs").value_or("0.ao");
  const auto lon_all = CopyLongitudes(rec);
  const std::vector<FoundAspect> aspects = ChartAspects(lon_all, orbs, aspect_options);
  if (HasFlag(args, "--json")) PrintJson(rec, &aspects);
  else PrintReport(rec, options, aspects);
#if KV_HAVE_CHART_RENDER
  if (HasFlag(args, "--png") || HasFlag(args, "--pdf")) {
    std::fflush(stdout);  // the report stays ahead of the picture's messages
    return RenderChartToFiles(rec, ctx, args);
  }
#endif
  return 0;
}

// ---------------------------------------------------------------- batch

// Appends a number as "%.15g" would print it, without the cost of printf.
char* AppendNumber(char* p, char* end, double v) {
  auto r = std::to_chars(p, end, v, std::chars_format::general, 15);
  return r.ec == std::errc() ? r.ptr : p;
}

constexpr const char* kBatchUsage = "batch [--no-lunar-day]  (stdin: JD_UT LAT LON SYSTEM per line)";
int BatchCommand(const CliContext& ctx, const CliArgs& args) {
  for (const auto& a : args)
    if (a != "--no-lunar-day") return UsageError(kBatchUsage);
  const bool lunar_day = !HasFlag(args, "--no-lunar-day");
  int status = 0;
  if (!StartEngine(ctx, &status)) return status;
  static char out_buffer[1 << 16];
  std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);

  ChartRecord rec = DefaultChartRecord();
  char line[512];
  long line_no = 0;
  int result = 0;
  while (std::fgets(line, sizeof line, stdin)) {
    ++line_no;
    const size_t len = std::strlen(line);
    if (len == sizeof line - 1 && line[len - 1] != '\n') {
      std::fprintf(stderr, "line %ld: too long\n", line_no);
      int c;
      while ((c = std::fgetc(stdin)) != EOF && c != '\n') {}
      result = 1;
      continue;
    }
    char* p = line;
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\n' || *p == '\r' || *p == '\0') continue;  // blank line
    char* end;
    const double jd = std::strtod(p, &end);
    bool ok = end != p;
    p = end;
    const double lat = std::strtod(p, &end);
    ok = ok && end != p;
    p = end;
    const double lon = std::strtod(p, &end);
    ok = ok && end != p;
    p = end;
    const long system = std::strtol(p, &end, 10);
    ok = ok && end != p;
    p = end;
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
    if (!ok || *p != '\0' || !JulianDayIsValid(jd) || !PlaceIsValid(lat, lon) ||
        system < -32768 || system > 32767) {
      std::fprintf(stderr, "line %ld: expected JD_UT LAT LON SYSTEM\n", line_no);
      result = 1;
      continue;
    }
    SetBirthMoment(rec, jd, 0.0);
    rec.lat_packed = lat;
    rec.lon_packed = lon;
    rec.house_system = static_cast<int16_t>(system);
    rec.lunar_day = lunar_day ? 0 : -1;
    const int rc = CalculateChart(rec, nullptr, kNatalChart, {});
    if (rc != 0) {
      std::fprintf(stderr, "line %ld: %s\n", line_no,
                   rc == kChartDamagedEphemeris ? "no chart" : "date outside the ephemeris");
      result = 1;
      continue;
    }
    char buf[32 * 26];
    char* q = buf;
    char* const q_end = buf + sizeof buf;
    const std::string no_data = NoData();
    for (int k = 1; k <= 31; ++k) {
      if (PointComputed(rec, k)) {
        q = AppendNumber(q, q_end, rec.lon[k]);
      } else if (no_data.size() < 24) {
        std::memcpy(q, no_data.data(), no_data.size());
        q += no_data.size();
      }
      *q++ = ' ';
    }
    if (lunar_day && rec.lunar_day == 0 && no_data.size() < 24) {
      std::memcpy(q, no_data.data(), no_data.size());
      q += no_data.size();
    } else {
      q = AppendNumber(q, q_end, lunar_day ? rec.lunar_day : 0);
    }
    *q++ = '\n';
    std::fwrite(buf, 1, static_cast<size_t>(q - buf), stdout);
  }
  std::fflush(stdout);
  return result;
}

const CliCommandRegistration kHouses({"houses", kHousesUsage, &HousesCommand});
const CliCommandRegistration kLunarDay({"lunar-day", kLunarUsage, &LunarDayCommand});
const CliCommandRegistration kChart({"chart", kChartUsage, &ChartCommand});
const CliCommandRegistration kBatch({"batch", kBatchUsage, &BatchCommand});

}  // namespace
}  // namespace kv::cli
