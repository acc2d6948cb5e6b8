#include <sched.h>
#include <sys/sendfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/cli_birth.h"
#include "app/cli/cli_command.h"
#include "app/cli/cli_engine.h"
#include "app/cli/commands.h"
#include "app/settings/program_settings.h"
#include "astro/constants.h"
#include "astro/ephemeris/ephemeris.h"
#include "chart/calc/chart_calc.h"
#include "chart/record/chart_rules.h"
#include "common/birth_checks.h"
#include "common/codepage.h"
#include "common/files.h"
#include "common/journal.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/timing.h"
#include "common/tokens.h"

namespace kv::cli {

// ---------------------------------------------------------------- batch

namespace {

// Appends a number as "%.15g" would print it, without the cost of printf.
char* AppendNumber(char* p, char* end, double v) { return AppendGeneral(p, end, v, 15); }

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
constexpr size_t kLinesPerRound = 1 << 17;
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
  // What was written into the file; empty when it cannot be read.
  std::string Contents() const {
    std::string all;
    (void)ReadWholeFile(name, &all);
    return all;
  }
  // Everything written into the file goes to descriptor `to`, copied by the kernel
  // where it can.
  void CopyTo(int to) const {
    off_t at = 0;
    for (;;) {
      const ssize_t sent = sendfile(to, fd, &at, size_t{1} << 30);
      if (sent > 0) continue;
      if (sent < 0 && errno == EINTR) continue;
      if (sent == 0) return;
      break;  // no kernel copy between these two: by hand from where it stopped
    }
    char buf[1 << 16];
    ssize_t got;
    while ((got = pread(fd, buf, sizeof buf, at)) > 0) {
      at += got;
      if (!WriteAll(to, buf, static_cast<size_t>(got))) return;
    }
  }
};

// One worker: its lines, where they start, and where its output goes. The first
// worker of a round writes straight to the program's output and messages (nothing
// comes before them); the others into scratch files, copied out in turn.
struct BatchChunk {
  std::string_view lines;
  long first_line_no = 1;
  bool direct = false;
  std::unique_ptr<ScratchFile> out, err;
  ScratchFile journal;
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
    c->direct = j == 0;
    if (!c->direct) {
      c->out = std::make_unique<ScratchFile>();
      c->err = std::make_unique<ScratchFile>();
    }
    chunks.push_back(std::move(c));
    pos = end;
    line_no += static_cast<long>(taken);
  }
  std::fflush(stdout);
  std::fflush(stderr);
  int result = 0;
  for (auto& c : chunks) {
    if (c->journal.fd < 0 || (!c->direct && (c->out->fd < 0 || c->err->fd < 0))) {
      // No scratch space: this chunk is computed here, in order, as a single worker would.
      c->pid = 0;
      continue;
    }
    c->pid = fork();
    if (c->pid == 0) {
      if (!c->direct) {
        dup2(c->out->fd, 1);
        dup2(c->err->fd, 2);
      }
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
      std::fflush(stdout);
      continue;
    }
    int status = 0;
    while (waitpid(c->pid, &status, 0) < 0 && errno == EINTR) {}
    MarkTiming("batch worker finished");
    if (!c->direct) {
      c->out->CopyTo(fileno(stdout));
      c->err->CopyTo(fileno(stderr));
    }
    AppendJournalEntries(c->journal.Contents());
    MarkTiming("batch worker output copied");
    if (!WIFEXITED(status)) {
      BatchLineError(c->first_line_no, "", "cliWork");
      result = 1;
    } else if (WEXITSTATUS(status) != 0) {
      result = 1;
    }
  }
  return result;
}

// Reads the next round of at most kLinesPerRound lines (the last may lack its line
// feed) in large blocks; `carry` keeps what was read past the round. Returns the
// number of lines.
size_t ReadRound(std::FILE* in, std::string* round, std::string* carry) {
  round->swap(*carry);
  carry->clear();
  size_t lines = 0, scanned = 0;
  bool at_end = false;
  for (;;) {
    while (lines < kLinesPerRound) {
      const void* nl = std::memchr(round->data() + scanned, '\n', round->size() - scanned);
      if (!nl) break;
      scanned = static_cast<size_t>(static_cast<const char*>(nl) - round->data()) + 1;
      ++lines;
    }
    if (lines == kLinesPerRound) {
      carry->assign(*round, scanned);
      round->resize(scanned);
      return lines;
    }
    if (at_end) break;
    const size_t old = round->size();
    round->resize(old + (size_t{1} << 20));
    const size_t got = std::fread(round->data() + old, 1, size_t{1} << 20, in);
    round->resize(old + got);
    at_end = got == 0;
  }
  if (scanned < round->size()) ++lines;  // the last line without its line feed
  return lines;
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
  ChartOptions options = ChartOptionsFrom(settings);
  options.speeds = false;  // the output has the places only
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
  std::string round, carry;
  MarkTiming("batch engine started");
  while (const size_t count = ReadRound(stdin, &round, &carry)) {
    MarkTiming("batch round read");
    result |= BatchRound(round, line_no, count, jobs, options, lunar_day, no_data);
    line_no += static_cast<long>(count);
  }
  std::fflush(stdout);
  return result;
}

}  // namespace kv::cli
