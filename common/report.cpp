#include "common/report.h"

#include <cstdarg>
#include <cstdio>

#include "common/format_text.h"
#include "common/messages.h"

namespace kv {
namespace {
std::FILE* g_report = nullptr;
}

bool OpenReport(const std::string& path) {
  CloseReport();
  g_report = std::fopen(path.c_str(), "w");
  return g_report != nullptr;
}

void CloseReport() {
  if (g_report) std::fclose(g_report);
  g_report = nullptr;
}

bool ReportIsOpen() { return g_report != nullptr; }

void Report(const char* format, ...) {
  if (!g_report) return;
  va_list args;
  va_start(args, format);
  const std::string text = FormatVa(format, args);
  va_end(args);
  std::fwrite(text.data(), 1, text.size(), g_report);
}

void ReportLine(const std::string& text) { Report("%s\n", text.c_str()); }
void ReportKeyLine(const char* key) { ReportLine(Text(key)); }
void ReportNewLine() { Report("\n"); }

}  // namespace kv
