#include "common/journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <utility>

#include "common/files.h"
#include "common/format_text.h"

namespace kv {
namespace {
std::string g_path = kJournalFile;
bool g_run_has_entry = false;
constexpr size_t kMaxJournalEntry = 1023;

// The journal stays open between entries (a batch of charts may write thousands of
// them); it is opened again when the path changes.
int g_fd = -1;
std::string g_open_path;

// Entries kept back, while they are held, without the run's "*****".
bool g_hold = false;
std::string g_held;

int JournalDescriptor() {
  if (g_fd >= 0 && g_open_path == g_path) return g_fd;
  if (g_fd >= 0) close(g_fd);
  g_fd = open(g_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  g_open_path = g_fd >= 0 ? g_path : std::string();
  return g_fd;
}

// One write per entry, unless they are held: what was written is in the file even if
// the process dies next.
void WriteEntry(std::string entry) {
  if (g_hold) {
    g_held += entry;
    return;
  }
  const int fd = JournalDescriptor();
  if (fd < 0) return;
  if (!g_run_has_entry) {
    entry.insert(0, "*****\n");
    g_run_has_entry = true;
  }
  WriteAll(fd, entry.data(), entry.size());
}

}  // namespace

void SetJournalPath(const std::string& path) { g_path = path; }
void StartJournalRun() { g_run_has_entry = false; }

void HoldJournalEntries(bool hold) { g_hold = hold; }

std::string TakeHeldJournalEntries() { return std::exchange(g_held, std::string()); }

void AppendJournalEntries(const std::string& entries) {
  if (!entries.empty()) WriteEntry(entries);
}

bool JournalRunHasEntry() { return g_run_has_entry; }
void SetJournalRunHasEntry(bool has) { g_run_has_entry = has; }

void JournalText(const std::string& text) { WriteEntry(text + "\n"); }

void Journal(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string entry = FormatVa(format, args);
  va_end(args);
  if (entry.size() > kMaxJournalEntry) entry.resize(kMaxJournalEntry);
  JournalText(entry);
}

}  // namespace kv
