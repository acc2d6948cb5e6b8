// Chart commands of kvimarot-chart: houses, lunar day, a whole natal chart as a
// report or JSON, and the batch path that computes charts from standard input.
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <memory>
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
#include "common/journal.h"
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

// What every output puts in place of a position the chart does not have.
std::string NoData() { return Cp1251ToUtf8(Text("NoDat")); }

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

// ---------------------------------------------------------------- batch

namespace {

// Appends a number as "%.15g" would print it, without the cost of printf.
char* AppendNumber(char* p, char* end, double v) {
  auto r = std::to_chars(p, end, v, std::chars_format::general, 15);
  return r.ec == std::errc() ? r.ptr : p;
}

void BatchLineError(long line_no, const std::string& what, const char* key) {
  PrintError(Text("cliLine") + " " + std::to_string(line_no) + ": " +
             (what.empty() ? "" : Utf8ToCp1251(what) + ": ") + Text(key));
}

// One input line "JD_UT LAT LON SYSTEM" into the record; false after the message.
bool ReadBatchLine(std::string_view line, long line_no, ChartRecord& rec) {
  const std::vector<std::string> words = Tokens(line);
  if (words.size() != 4) {
    BatchLineError(line_no, "", "cliBatch");
    return false;
  }
  const auto jd = ParseDouble(words[0]);
  if (!jd || *jd < kChartRangeFirst || *jd > kChartRangeLast) {
    BatchLineError(line_no, words[0], "ChkJD");
    return false;
  }
  const Checked<double> lat = CheckLatitude(words[1]);
  if (!lat.ok()) {
    BatchLineError(line_no, words[1], lat.error);
    return false;
  }
  const Checked<double> lon = CheckLongitude(words[2]);
  if (!lon.ok()) {
    BatchLineError(line_no, words[2], lon.error);
    return false;
  }
  const auto system = ParseInteger(words[3]);
  if (!system || *system < kHouseRegiomontanus || *system > kHouseEqualVertex) {
    BatchLineError(line_no, words[3], "ChkHs");
    return false;
  }
  SetBirthMoment(rec, *jd, 0.0);
  rec.lat_packed = lat.value;
  rec.lon_packed = lon.value;
  rec.house_system = static_cast<int16_t>(*system);
  return true;
}

// Computes the charts of the lines of `in`, the first of them numbered first_line_no;
// one output line per chart, a message per refused line. Returns 1 when a line was
// refused.
int BatchLines(std::FILE* in, long first_line_no, const ChartOptions& options, bool lunar_day,
               const std::string& no_data) {
  ChartRecord rec = DefaultChartRecord();
  char line[512];
  long line_no = first_line_no - 1;
  int result = 0;
  while (std::fgets(line, sizeof line, in)) {
    ++line_no;
    const size_t len = std::strlen(line);
    if (len == sizeof line - 1 && line[len - 1] != '\n') {
      BatchLineError(line_no, "", "cliLong");
      int c;
      while ((c = std::fgetc(in)) != EOF && c != '\n') {}
      result = 1;
      continue;
    }
    std::string_view text(line, len);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    if (text.find_first_not_of(" \t") == std::string_view::npos) continue;  // blank line
    if (!ReadBatchLine(text, line_no, rec)) {
      result = 1;
      continue;
    }
    rec.lunar_day = lunar_day ? 0 : -1;
    if (CalculateChart(rec, nullptr, kNatalChart, options) != 0) {
      BatchLineError(line_no, "", "cliNoChart");  // the reason was printed just before
      result = 1;
      continue;
    }
    char buf[32 * 26];
    char* q = buf;
    char* const q_end = buf + sizeof buf;
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
  return result;
}

// Lines handed to the workers at a time: enough that starting them costs little,
// few enough that the output of a long stream keeps coming.
constexpr size_t kLinesPerRound = 1 << 16;
constexpr int kMaxJobs = 64;

int DefaultJobs() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) return std::clamp(CPU_COUNT(&set), 1, kMaxJobs);
  return 1;
}

// A scratch file for a worker: an open descriptor and its name (the journal reopens
// it by name); removed by the destructor.
struct ScratchFile {
  int fd = -1;
  std::string name;
  ScratchFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvbatchXXXXXX").string();
    fd = mkstemp(pattern.data());
    if (fd >= 0) name = pattern;
  }
  ~ScratchFile() {
    if (fd >= 0) close(fd);
    if (!name.empty()) unlink(name.c_str());
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  std::string Contents() const {
    std::string all;
    char buf[1 << 16];
    ssize_t got;
    off_t at = 0;
    while ((got = pread(fd, buf, sizeof buf, at)) > 0) {
      all.append(buf, static_cast<size_t>(got));
      at += got;
    }
    return all;
  }
};

// One worker: its lines, where they start, and where its output goes.
struct BatchChunk {
  std::string_view lines;
  long first_line_no = 1;
  ScratchFile out, err, journal;
  pid_t pid = -1;
};

// Runs the lines of a round in `jobs` processes and writes their output, messages and
// journal entries in the order of the lines. Returns 1 when a line was refused or a
// worker failed.
int BatchRound(const std::string& round, long first_line_no, size_t line_count, int jobs,
               const ChartOptions& options, bool lunar_day, const std::string& no_data) {
  std::vector<std::unique_ptr<BatchChunk>> chunks;
  size_t pos = 0;
  long line_no = first_line_no;
  for (int j = 0; j < jobs && pos < round.size(); ++j) {
    const size_t want = (line_count + static_cast<size_t>(jobs) - 1) / static_cast<size_t>(jobs);
    size_t end = pos, taken = 0;
    while (end < round.size() && taken < want) {
      const size_t nl = round.find('\n', end);
      end = nl == std::string::npos ? round.size() : nl + 1;
      ++taken;
    }
    auto c = std::make_unique<BatchChunk>();
    c->lines = std::string_view(round).substr(pos, end - pos);
    c->first_line_no = line_no;
    chunks.push_back(std::move(c));
    pos = end;
    line_no += static_cast<long>(taken);
  }
  std::fflush(stdout);
  std::fflush(stderr);
  int result = 0;
  for (auto& c : chunks) {
    if (c->out.fd < 0 || c->err.fd < 0 || c->journal.fd < 0) {
      // No scratch space: this chunk is computed here, in order, as a single worker would.
      c->pid = 0;
      continue;
    }
    c->pid = fork();
    if (c->pid == 0) {
      dup2(c->out.fd, 1);
      dup2(c->err.fd, 2);
      RedirectJournalInRun(c->journal.name);
      std::FILE* in = fmemopen(const_cast<char*>(c->lines.data()), c->lines.size(), "r");
      const int r = in ? BatchLines(in, c->first_line_no, options, lunar_day, no_data) : 1;
      std::fflush(stdout);
      std::fflush(stderr);
      _exit(r);
    }
  }
  for (auto& c : chunks) {
    if (c->pid <= 0) {  // not started: computed here
      std::FILE* in = fmemopen(const_cast<char*>(c->lines.data()), c->lines.size(), "r");
      result |= in ? BatchLines(in, c->first_line_no, options, lunar_day, no_data) : 1;
      if (in) std::fclose(in);
      continue;
    }
    int status = 0;
    while (waitpid(c->pid, &status, 0) < 0 && errno == EINTR) {}
    const std::string out = c->out.Contents();
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    const std::string err = c->err.Contents();
    std::fwrite(err.data(), 1, err.size(), stderr);
    AppendJournalEntries(c->journal.Contents());
    if (!WIFEXITED(status)) {
      BatchLineError(c->first_line_no, "", "cliWork");
      result = 1;
    } else if (WEXITSTATUS(status) != 0) {
      result = 1;
    }
  }
  return result;
}

}  // namespace

int BatchCommand(const CliContext& ctx, const CliArgs& args) {
  const char* kName = "batch";
  OptionSpecs specs = {{"--no-lunar-day", false}, {"--jobs", true}};
  for (const OptionSpec& s : ChartSwitchOptions()) specs.push_back(s);
  Settings settings = ctx.settings;
  int status = CheckOptions(kName, args, specs);
  if (status || (status = ReadChartSwitches(kName, args, settings))) return status;
  int jobs = DefaultJobs();
  if (const auto value = OptionValue(args, "--jobs")) {
    const auto n = ParseInteger(*value);
    if (!n || *n < 1 || *n > kMaxJobs) return Refuse(kName, Typed("--jobs", *value), "cliJobs");
    jobs = static_cast<int>(*n);
  }
  const ChartOptions options = ChartOptionsFrom(settings);
  const bool lunar_day = !HasFlag(args, "--no-lunar-day");
  if (!StartEngine(ctx, &status)) return status;
  static char out_buffer[1 << 16];
  std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);
  const std::string no_data = NoData();
  if (jobs == 1) {
    const int result = BatchLines(stdin, 1, options, lunar_day, no_data);
    std::fflush(stdout);
    return result;
  }
  // Several workers: each takes a run of whole lines of a round, forked from this
  // process with the engine started, and its output joins the others' in input order.
  int result = 0;
  long line_no = 1;
  std::string round;
  char* line = nullptr;
  size_t capacity = 0;
  bool more = true;
  while (more) {
    round.clear();
    size_t count = 0;
    ssize_t got = 0;
    while (count < kLinesPerRound && (got = getline(&line, &capacity, stdin)) > 0) {
      round.append(line, static_cast<size_t>(got));
      ++count;
    }
    more = got > 0;
    if (count == 0) break;
    result |= BatchRound(round, line_no, count, jobs, options, lunar_day, no_data);
    line_no += static_cast<long>(count);
  }
  std::free(line);
  std::fflush(stdout);
  return result;
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
