#include "common/journal.h"

#include <cstdarg>
#include <cstdio>

#include "common/format_text.h"

namespace kv {
namespace {
std::string g_path = kJournalFile;
bool g_run_has_entry = false;
constexpr size_t kMaxJournalEntry = 1023;
}  // namespace

void SetJournalPath(const std::string& path) { g_path = path; }
void StartJournalRun() { g_run_has_entry = false; }

void RedirectJournalInRun(const std::string& path) {
  g_path = path;
  g_run_has_entry = true;
}

void AppendJournalEntries(const std::string& entries) {
  if (entries.empty()) return;
  std::FILE* f = std::fopen(g_path.c_str(), "a");
  if (!f) return;
  if (!g_run_has_entry) {
    std::fputs("*****\n", f);
    g_run_has_entry = true;
  }
  std::fwrite(entries.data(), 1, entries.size(), f);
  std::fclose(f);
}

void JournalText(const std::string& text) {
  std::FILE* f = std::fopen(g_path.c_str(), "a");
  if (!f) return;
  if (!g_run_has_entry) {
    std::fputs("*****\n", f);
    g_run_has_entry = true;
  }
  std::fputs(text.c_str(), f);
  std::fputc('\n', f);
  std::fclose(f);
}

void Journal(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string entry = FormatVa(format, args);
  va_end(args);
  if (entry.size() > kMaxJournalEntry) entry.resize(kMaxJournalEntry);
  JournalText(entry);
}

}  // namespace kv
