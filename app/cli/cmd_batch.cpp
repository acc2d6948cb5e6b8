#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
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

void BatchLineError(long line_no, std::string_view what, const char* key) {
  PrintError(Text("cliLine") + " " + std::to_string(line_no) + ": " +
             (what.empty() ? "" : Utf8ToCp1251(what) + ": ") + Text(key));
}

// One input line "JD_UT LAT LON SYSTEM" into the record; false after the message.
bool ReadBatchLine(std::string_view line, long line_no, ChartRecord& rec) {
  std::string_view words[4];
  if (TokenViews(line, words, 4) != 4) {
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
// Lines a worker takes at a time: few enough that the workers end together even when
// one of them gets less of the processor, enough that taking them costs nothing.
constexpr size_t kLinesPerChunk = 512;
constexpr int kMaxJobs = 64;

int DefaultJobs() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) return std::clamp(CPU_COUNT(&set), 1, kMaxJobs);
  return 1;
}

// Copies bytes [begin, end) of file `from` to descriptor `to`, by the kernel where it
// can; the offset of `from` stays where it is (its writer may still be appending).
void CopyRange(int from, off_t begin, off_t end, int to) {
  off_t at = begin;
  while (at < end) {
    const ssize_t sent = sendfile(to, from, &at, static_cast<size_t>(end - at));
    if (sent > 0) continue;
    if (sent < 0 && errno == EINTR) continue;
    break;  // no kernel copy between these two: by hand from where it stopped
  }
  char buf[1 << 16];
  while (at < end) {
    const ssize_t got =
        pread(from, buf, static_cast<size_t>(std::min<off_t>(end - at, sizeof buf)), at);
    if (got <= 0) return;
    at += got;
    if (!WriteAll(to, buf, static_cast<size_t>(got))) return;
  }
}

// Bytes [begin, end) of a file, read back; empty when they cannot be read.
std::string ReadRange(int fd, off_t begin, off_t end) {
  std::string text(static_cast<size_t>(std::max<off_t>(end - begin, 0)), '\0');
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t got =
        pread(fd, text.data() + done, text.size() - done, begin + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  text.resize(done);
  return text;
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
  // Bytes written so far, whoever wrote them.
  off_t Size() const {
    struct stat st;
    return fstat(fd, &st) == 0 ? st.st_size : 0;
  }
};

// One worker process: the scratch files its output, messages and journal entries go
// to, chunk after chunk.
struct BatchWorker {
  ScratchFile out, err, journal;
  pid_t pid = -1;
  bool ready() const { return out.fd >= 0 && err.fd >= 0 && journal.fd >= 0; }
};

// A run of whole lines of a round and the number of its first line.
struct BatchChunk {
  std::string_view lines;
  long first_line_no = 1;
};

// Where a chunk's output, messages and journal entries lie in its worker's scratch
// files; `done` is set once they are all written.
struct ChunkSpan {
  std::atomic<int> done;
  int worker;
  off_t out[2], err[2], journal[2];
};

// Memory shared by this process and its workers: the next chunk to take and the spans
// of those taken.
class ChunkBoard {
 public:
  static_assert(std::atomic<size_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
                "the board is shared between processes");
  explicit ChunkBoard(size_t chunks) : chunks_(chunks) {
    bytes_ = sizeof(Header) + chunks * sizeof(ChunkSpan);
    void* at = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (at == MAP_FAILED) return;
    header_ = new (at) Header;
    spans_ = reinterpret_cast<ChunkSpan*>(static_cast<char*>(at) + sizeof(Header));
    for (size_t i = 0; i < chunks; ++i) new (&spans_[i]) ChunkSpan{};
  }
  ~ChunkBoard() {
    if (header_) munmap(header_, bytes_);
  }
  ChunkBoard(const ChunkBoard&) = delete;
  ChunkBoard& operator=(const ChunkBoard&) = delete;
  bool ok() const { return header_ != nullptr; }
  // The next chunk nobody has taken, or the count when all are taken.
  size_t Take() { return std::min(header_->next.fetch_add(1, std::memory_order_relaxed), chunks_); }
  ChunkSpan& span(size_t i) { return spans_[i]; }

 private:
  struct Header {
    std::atomic<size_t> next{0};
  };
  size_t chunks_;
  size_t bytes_ = 0;
  Header* header_ = nullptr;
  ChunkSpan* spans_ = nullptr;
};

// A worker's life: takes chunks until none is left and computes them, its output,
// messages and journal entries into its scratch files (its fd 1 and 2 are two of them);
// after each chunk it records where they lie and tells the process that started it.
[[noreturn]] void RunWorker(int index, const BatchWorker& me, const std::vector<BatchChunk>& chunks,
                            ChunkBoard& board, int tell_fd, const ChartOptions& options,
                            bool lunar_day, const std::string& no_data) {
  dup2(me.out.fd, 1);
  dup2(me.err.fd, 2);
  static char err_buffer[1 << 16];
  std::setvbuf(stderr, err_buffer, _IOFBF, sizeof err_buffer);  // flushed with each chunk
  RedirectJournalInRun(me.journal.name);
  HoldJournalEntries(true);
  int result = 0;
  off_t out_at = 0, err_at = 0, journal_at = 0;
  try {
    for (size_t i; (i = board.Take()) < chunks.size();) {
      const BatchChunk& c = chunks[i];
      std::FILE* in = fmemopen(const_cast<char*>(c.lines.data()), c.lines.size(), "r");
      result |= in ? BatchLines(in, c.first_line_no, options, lunar_day, no_data) : 1;
      if (in) std::fclose(in);
      std::fflush(stdout);
      std::fflush(stderr);
      FlushJournal();
      ChunkSpan& span = board.span(i);
      span.worker = index;
      span.out[0] = out_at;
      span.err[0] = err_at;
      span.journal[0] = journal_at;
      span.out[1] = out_at = me.out.Size();
      span.err[1] = err_at = me.err.Size();
      span.journal[1] = journal_at = me.journal.Size();
      span.done.store(1, std::memory_order_release);
      const char note = 1;
      while (write(tell_fd, &note, 1) < 0 && errno == EINTR) {}
    }
  } catch (...) {
    _exit(1);  // never back into the caller's code: that is the other process's
  }
  _exit(result);
}

// Cuts a round into chunks of kLinesPerChunk lines, numbered from first_line_no.
std::vector<BatchChunk> CutIntoChunks(const std::string& round, long first_line_no) {
  std::vector<BatchChunk> chunks;
  size_t pos = 0;
  long line_no = first_line_no;
  while (pos < round.size()) {
    size_t end = pos, taken = 0;
    while (end < round.size() && taken < kLinesPerChunk) {
      const void* nl = std::memchr(round.data() + end, '\n', round.size() - end);
      end =
          nl ? static_cast<size_t>(static_cast<const char*>(nl) - round.data()) + 1 : round.size();
      ++taken;
    }
    chunks.push_back({std::string_view(round).substr(pos, end - pos), line_no});
    pos = end;
    line_no += static_cast<long>(taken);
  }
  return chunks;
}

// Puts a finished chunk's output, messages and journal entries where they belong.
void CopyChunk(const ChunkSpan& span, const BatchWorker& from) {
  CopyRange(from.out.fd, span.out[0], span.out[1], fileno(stdout));
  CopyRange(from.err.fd, span.err[0], span.err[1], fileno(stderr));
  AppendJournalEntries(ReadRange(from.journal.fd, span.journal[0], span.journal[1]));
}

// Computes the lines of a round in this process, in order, as a single worker would.
int BatchHere(const std::vector<BatchChunk>& chunks, const ChartOptions& options, bool lunar_day,
              const std::string& no_data) {
  int result = 0;
  for (size_t i = 0; i < chunks.size(); ++i) {
    std::FILE* in =
        fmemopen(const_cast<char*>(chunks[i].lines.data()), chunks[i].lines.size(), "r");
    result |= in ? BatchLines(in, chunks[i].first_line_no, options, lunar_day, no_data) : 1;
    if (in) std::fclose(in);
  }
  std::fflush(stdout);
  return result;
}

// Runs the lines of a round in `jobs` processes, which take chunks of lines as they get
// free, and writes their output, messages and journal entries in the order of the
// lines as the chunks come in. Returns 1 when a line was refused or a worker failed.
int BatchRound(const std::string& round, long first_line_no, int jobs, const ChartOptions& options,
               bool lunar_day, const std::string& no_data) {
  const std::vector<BatchChunk> chunks = CutIntoChunks(round, first_line_no);
  std::fflush(stdout);
  std::fflush(stderr);
  ChunkBoard board(chunks.size());
  int tell[2] = {-1, -1};
  if (!board.ok() || pipe2(tell, O_CLOEXEC) != 0)  // no room for workers
    return BatchHere(chunks, options, lunar_day, no_data);
  std::vector<std::unique_ptr<BatchWorker>> workers;
  for (int j = 0; j < jobs && static_cast<size_t>(j) < chunks.size(); ++j) {
    auto w = std::make_unique<BatchWorker>();
    if (!w->ready()) break;
    w->pid = fork();
    if (w->pid == 0) {
      close(tell[0]);
      RunWorker(j, *w, chunks, board, tell[1], options, lunar_day, no_data);
    }
    if (w->pid < 0) break;
    workers.push_back(std::move(w));
  }
  close(tell[1]);
  int result = 0;
  // The chunks in order, each as soon as it is done; the end of the pipe says that
  // every worker has ended.
  size_t next = 0;
  for (;;) {
    while (next < chunks.size() && board.span(next).done.load(std::memory_order_acquire)) {
      CopyChunk(board.span(next), *workers[static_cast<size_t>(board.span(next).worker)]);
      ++next;
    }
    if (next == chunks.size() || workers.empty()) break;
    char notes[256];
    const ssize_t got = read(tell[0], notes, sizeof notes);
    if (got == 0 || (got < 0 && errno != EINTR)) break;
  }
  close(tell[0]);
  for (auto& w : workers) {
    int status = 0;
    while (waitpid(w->pid, &status, 0) < 0 && errno == EINTR) {}
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) result = 1;
  }
  MarkTiming("batch workers finished");
  if (workers.empty()) return BatchHere(chunks, options, lunar_day, no_data);
  // What is left was taken by a worker that did not finish it.
  for (; next < chunks.size(); ++next) {
    const ChunkSpan& span = board.span(next);
    if (span.done.load(std::memory_order_acquire)) {
      CopyChunk(span, *workers[static_cast<size_t>(span.worker)]);
    } else {
      BatchLineError(chunks[next].first_line_no, "", "cliWork");
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
    result |= BatchRound(round, line_no, jobs, options, lunar_day, no_data);
    line_no += static_cast<long>(count);
  }
  std::fflush(stdout);
  return result;
}

}  // namespace kv::cli
