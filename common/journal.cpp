#include "common/journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>

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

// Entries written but kept back until FlushJournal, while they are held.
bool g_hold = false;
std::string g_held;

int JournalDescriptor() {
  if (g_fd >= 0 && g_open_path == g_path) return g_fd;
  if (g_fd >= 0) close(g_fd);
  g_fd = open(g_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  g_open_path = g_fd >= 0 ? g_path : std::string();
  return g_fd;
}

// One write per entry: what was written is in the file even if the process dies next.
void WriteEntry(std::string entry) {
  const int fd = JournalDescriptor();
  if (fd < 0) return;
  if (!g_run_has_entry) {
    entry.insert(0, "*****\n");
    g_run_has_entry = true;
  }
  if (g_hold) {
    g_held += entry;
    return;
  }
  WriteAll(fd, entry.data(), entry.size());
}

}  // namespace

void SetJournalPath(const std::string& path) { g_path = path; }
void StartJournalRun() { g_run_has_entry = false; }

void RedirectJournalInRun(const std::string& path) {
  g_path = path;
  g_run_has_entry = true;
}

void AppendJournalEntries(const std::string& entries) {
  if (!entries.empty()) WriteEntry(entries);
}

void HoldJournalEntries(bool hold) {
  if (!hold) FlushJournal();
  g_hold = hold;
}

void FlushJournal() {
  if (g_held.empty()) return;
  const int fd = JournalDescriptor();
  if (fd >= 0) WriteAll(fd, g_held.data(), g_held.size());
  g_held.clear();
}

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
