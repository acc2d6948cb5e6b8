#include "common/journal.h"

#include <cstdarg>
#include <cstdio>

namespace kv {
namespace {
std::string g_path = kJournalFile;
bool g_run_has_entry = false;
}  // namespace

void SetJournalPath(const std::string& path) { g_path = path; }
void StartJournalRun() { g_run_has_entry = false; }

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
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  JournalText(buffer);
}

}  // namespace kv
