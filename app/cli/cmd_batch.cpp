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
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <thread>
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
// one line per chart to `out`, a message per refused line. Returns 1 when a line was
// refused.
int BatchLines(std::FILE* in, long first_line_no, const ChartOptions& options, bool lunar_day,
               const std::string& no_data, std::FILE* out) {
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
    std::fwrite(buf, 1, static_cast<size_t>(q - buf), out);
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

// A scratch file for a worker's messages: an open descriptor, removed when made.
struct ScratchFile {
  int fd = -1;
  ScratchFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvbatchXXXXXX").string();
    fd = mkstemp(pattern.data());
    if (fd >= 0) unlink(pattern.c_str());
  }
  ~ScratchFile() {
    if (fd >= 0) close(fd);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  // Bytes written so far.
  off_t Size() const {
    struct stat st;
    return fstat(fd, &st) == 0 ? st.st_size : 0;
  }
};

// A run of whole lines of a round and the number of its first line.
struct BatchChunk {
  std::string_view lines;
  long first_line_no = 1;
};

// Computes the lines of a chunk to `out` as BatchLines does; -1 when they cannot be
// read as a stream (no memory).
int BatchChunkLines(const BatchChunk& c, const ChartOptions& options, bool lunar_day,
                    const std::string& no_data, std::FILE* out) {
  std::FILE* in = fmemopen(const_cast<char*>(c.lines.data()), c.lines.size(), "r");
  if (!in) return -1;
  const int result = BatchLines(in, c.first_line_no, options, lunar_day, no_data, out);
  std::fclose(in);
  return result;
}

// Memory shared by this process and its workers: which worker took each chunk, how
// many chunks have been written (they are written in order, each by its worker when
// its turn comes), and whether the journal's run has an entry yet.
class ChunkBoard {
 public:
  static_assert(std::atomic<size_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
                "the board is shared between processes");
  static constexpr int kNobody = -1;

  explicit ChunkBoard(size_t chunks) : chunks_(chunks) {
    bytes_ = sizeof(Header) + chunks * sizeof(std::atomic<int>);
    void* at = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (at == MAP_FAILED) return;
    header_ = new (at) Header;
    owners_ = reinterpret_cast<std::atomic<int>*>(static_cast<char*>(at) + sizeof(Header));
    for (size_t i = 0; i < chunks; ++i) new (&owners_[i]) std::atomic<int>(kNobody);
  }
  ~ChunkBoard() {
    if (header_) munmap(header_, bytes_);
  }
  ChunkBoard(const ChunkBoard&) = delete;
  ChunkBoard& operator=(const ChunkBoard&) = delete;
  bool ok() const { return header_ != nullptr; }

  // The first chunk nobody has taken, now the worker's; the count of chunks when none
  // is left. The owner is set in the same step, so a worker that dies leaves no chunk
  // unclaimed.
  size_t Take(int worker) {
    for (size_t i = header_->hint.load(std::memory_order_relaxed); i < chunks_; ++i) {
      int nobody = kNobody;
      if (owners_[i].compare_exchange_strong(nobody, worker)) {
        header_->hint.store(i + 1, std::memory_order_relaxed);
        return i;
      }
    }
    return chunks_;
  }
  int Owner(size_t i) const { return owners_[i].load(std::memory_order_acquire); }
  // Chunks written so far: the next to write is this one.
  size_t Written() const { return header_->written.load(std::memory_order_acquire); }
  void MarkWritten(size_t i) { header_->written.store(i + 1, std::memory_order_release); }
  bool JournalHasEntry() const { return header_->journal_has_entry.load() != 0; }
  void SetJournalHasEntry(bool has) { header_->journal_has_entry.store(has ? 1 : 0); }

 private:
  struct Header {
    std::atomic<size_t> hint{0};
    std::atomic<size_t> written{0};
    std::atomic<int> journal_has_entry{0};
  };
  size_t chunks_;
  size_t bytes_ = 0;
  Header* header_ = nullptr;
  std::atomic<int>* owners_ = nullptr;
};

// Exit statuses of a worker that could not finish what it took, and of one that could
// not write the output (a full disk).
constexpr int kWorkerFailed = 2;
constexpr int kOutputFailed = 3;

void PauseBriefly() {
  const timespec pause{0, 50'000};
  nanosleep(&pause, nullptr);
}

// A chunk computed by a worker and waiting for its turn: the output, the messages (a
// range of the worker's scratch file) and the journal entries.
struct FinishedChunk {
  size_t index = 0;
  std::unique_ptr<char, decltype(&std::free)> text{nullptr, &std::free};
  size_t size = 0;
  off_t err_begin = 0, err_end = 0;
  std::string journal;
};

// A worker's life: takes chunks until none is left, computes each into memory (its
// messages into a scratch file) and writes it to the program's output, messages and
// journal when all chunks before it have been written.
class BatchWorker {
 public:
  BatchWorker(int index, ChunkBoard& board, const std::vector<BatchChunk>& chunks,
              const ScratchFile& err, long dies_at)
      : index_(index), board_(board), chunks_(chunks), err_(err), dies_at_(dies_at) {}

  [[noreturn]] void Run(const ChartOptions& options, bool lunar_day, const std::string& no_data) {
    int result = 0;
    try {
      SetRunEnder([](int) { _exit(kWorkerFailed); });  // not the exit of this whole program
      real_err_ = dup(2);
      if (real_err_ < 0 || dup2(err_.fd, 2) < 0) _exit(kWorkerFailed);
      static char err_buffer[1 << 16];
      std::setvbuf(stderr, err_buffer, _IOFBF, sizeof err_buffer);  // flushed with each chunk
      HoldJournalEntries(true);
      off_t err_at = 0;
      for (size_t i; (i = board_.Take(index_)) < chunks_.size();) {
        if (static_cast<long>(i) == dies_at_) std::raise(SIGKILL);
        FinishedChunk done;
        done.index = i;
        char* text = nullptr;
        std::FILE* out = open_memstream(&text, &done.size);
        const int lines = out ? BatchChunkLines(chunks_[i], options, lunar_day, no_data, out) : -1;
        if (lines < 0) _exit(kWorkerFailed);  // the chunk is reported as not computed
        result |= lines;
        std::fclose(out);
        done.text.reset(text);
        std::fflush(stderr);
        done.err_begin = err_at;
        done.err_end = err_at = err_.Size();
        done.journal = TakeHeldJournalEntries();
        waiting_.push_back(std::move(done));
        WriteWhatIsDue();
      }
      while (!waiting_.empty()) {
        PauseBriefly();
        WriteWhatIsDue();
      }
    } catch (...) {
      _exit(kWorkerFailed);  // never back into the caller's code: that is the other process's
    }
    _exit(result);
  }

 private:
  // Writes the waiting chunks whose turn has come, in order.
  void WriteWhatIsDue() {
    while (!waiting_.empty() && board_.Written() == waiting_.front().index) {
      const FinishedChunk& c = waiting_.front();
      if (!WriteAll(1, c.text.get(), c.size)) _exit(kOutputFailed);
      CopyRange(err_.fd, c.err_begin, c.err_end, real_err_);
      if (!c.journal.empty()) {
        HoldJournalEntries(false);
        SetJournalRunHasEntry(board_.JournalHasEntry());
        AppendJournalEntries(c.journal);
        board_.SetJournalHasEntry(JournalRunHasEntry());
        HoldJournalEntries(true);
      }
      board_.MarkWritten(c.index);
      waiting_.pop_front();
    }
  }

  int index_;
  ChunkBoard& board_;
  const std::vector<BatchChunk>& chunks_;
  const ScratchFile& err_;
  long dies_at_;  // a chunk at which the worker is killed, for the tests; -1 for none
  int real_err_ = -1;
  std::deque<FinishedChunk> waiting_;
};

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

// Computes the lines of a round in this process, in order, as a single worker would.
int BatchHere(const std::vector<BatchChunk>& chunks, const ChartOptions& options, bool lunar_day,
              const std::string& no_data) {
  int result = 0;
  for (const BatchChunk& c : chunks) {
    const int lines = BatchChunkLines(c, options, lunar_day, no_data, stdout);
    if (lines < 0) BatchLineError(c.first_line_no, "", "cliWork");  // as a lost worker's chunk
    result |= lines < 0 ? 1 : lines;
  }
  std::fflush(stdout);
  return result;
}

// The workers of a round as this process sees them: their process ids and which of
// them still run. A worker that has ended leaves no chunk of its own unwritten unless
// it failed.
struct WorkerProcesses {
  std::vector<pid_t> pids;
  std::vector<bool> running;
  bool output_closed = false;  // a worker met the end of a closed pipe
  bool output_failed = false;  // a worker could not write the output

  bool AnyRunning() const {
    return std::find(running.begin(), running.end(), true) != running.end();
  }
  bool AnyEnded() const {
    return std::find(running.begin(), running.end(), false) != running.end();
  }
  // Notes a worker that ended; false for a process that is none of them.
  bool Ended(pid_t pid, int status) {
    for (size_t w = 0; w < pids.size(); ++w) {
      if (pids[w] != pid || !running[w]) continue;
      running[w] = false;
      if (WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) output_closed = true;
      if (WIFEXITED(status) && WEXITSTATUS(status) == kOutputFailed) output_failed = true;
      return true;
    }
    return false;
  }
};

// Runs the lines of a round in `jobs` processes, which take chunks of lines as they get
// free and write them in the order of the lines. Returns 1 when a line was refused, a
// worker failed or the output could not be written (then *output_lost is set).
int BatchRound(const std::string& round, long first_line_no, int jobs, const ChartOptions& options,
               bool lunar_day, const std::string& no_data, bool* output_lost) {
  const std::vector<BatchChunk> chunks = CutIntoChunks(round, first_line_no);
  std::fflush(stdout);
  std::fflush(stderr);
  ChunkBoard board(chunks.size());
  if (!board.ok()) return BatchHere(chunks, options, lunar_day, no_data);  // no room for workers
  board.SetJournalHasEntry(JournalRunHasEntry());
  std::vector<std::unique_ptr<ScratchFile>> scratch;
  WorkerProcesses workers;
  // The tests check the loss of a worker by having one killed at a chunk of the round.
  const char* dies_at = std::getenv("KV_BATCH_KILL_AT_CHUNK");
  const long kill_at = dies_at ? ReadInt(dies_at) : -1;
  for (int j = 0; j < jobs && static_cast<size_t>(j) < chunks.size(); ++j) {
    auto err = std::make_unique<ScratchFile>();
    if (err->fd < 0) break;
    const pid_t pid = fork();
    if (pid == 0) BatchWorker(j, board, chunks, *err, kill_at).Run(options, lunar_day, no_data);
    if (pid < 0) break;
    scratch.push_back(std::move(err));
    workers.pids.push_back(pid);
    workers.running.push_back(true);
  }
  if (workers.pids.empty()) return BatchHere(chunks, options, lunar_day, no_data);
  int result = 0;
  // The chunks a worker left unwritten when it ended are reported in their turn in its
  // stead; once every worker has ended, whatever is left.
  auto ReportLost = [&](bool all_ended) {
    for (size_t i; (i = board.Written()) < chunks.size(); board.MarkWritten(i)) {
      const int owner = board.Owner(i);
      if (!all_ended &&
          (owner == ChunkBoard::kNobody || workers.running[static_cast<size_t>(owner)]))
        return;
      // Without an output (`| head`, a full disk) the lines are not what went wrong.
      if (!workers.output_closed && !workers.output_failed)
        BatchLineError(chunks[i].first_line_no, "", "cliWork");
      result = 1;
    }
  };
  while (workers.AnyRunning()) {
    int status = 0;
    // Once a worker has ended, the others may wait for turns of its that it did not
    // finish: look every little while.
    const pid_t pid = waitpid(-1, &status, workers.AnyEnded() ? WNOHANG : 0);
    if (pid < 0 && errno == EINTR) continue;
    if (pid < 0) break;  // no child left to wait for
    if (pid > 0 && workers.Ended(pid, status) && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
      result = 1;
    ReportLost(false);
    if (pid == 0) PauseBriefly();
  }
  ReportLost(true);
  MarkTiming("batch workers finished");
  SetJournalRunHasEntry(board.JournalHasEntry());
  if (workers.output_closed) {  // end as a writer to a closed pipe ends, as one worker would
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
  }
  if (workers.output_failed) {
    PrintError(Text("cliOut"));
    *output_lost = true;
    result = 1;
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
  // The first round of lines of a file is read while the engine starts (a pipe or a
  // terminal is not: a failed start must not wait for its end).
  std::string round, carry;
  size_t count = 0;
  struct stat in_stat;
  std::thread reader;
  if (jobs > 1 && fstat(fileno(stdin), &in_stat) == 0 && S_ISREG(in_stat.st_mode))
    reader = std::thread([&] { count = ReadRound(stdin, &round, &carry); });
  const bool started = StartEngine(ctx, &status);
  const bool read_ahead = reader.joinable();
  if (read_ahead) reader.join();  // one thread again before the workers are forked
  if (!started) return status;
  static char out_buffer[1 << 16];
  std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);
  const std::string no_data = NoData();
  if (jobs == 1) {
    const int result = BatchLines(stdin, 1, options, lunar_day, no_data, stdout);
    std::fflush(stdout);
    return result;
  }
  // Several workers: each takes a run of whole lines of a round, forked from this
  // process with the engine started, and its output joins the others' in input order.
  int result = 0;
  long line_no = 1;
  bool output_lost = false;
  MarkTiming("batch engine started");
  for (bool first = true; !output_lost; first = false) {
    if (!first || !read_ahead) count = ReadRound(stdin, &round, &carry);
    if (count == 0) break;
    MarkTiming("batch round read");
    result |= BatchRound(round, line_no, jobs, options, lunar_day, no_data, &output_lost);
    line_no += static_cast<long>(count);
  }
  std::fflush(stdout);
  return result;
}

}  // namespace kv::cli
