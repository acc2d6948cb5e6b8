// The current report file: one text file at a time that reports (chart printouts,
// interpretation texts) write into.
#pragma once

#include <string>

namespace kv {

// Opens (truncating) the report file; false when it cannot be created.
bool OpenReport(const std::string& path);
void CloseReport();
bool ReportIsOpen();

// printf into the report file (numbers with a decimal point whatever the locale).
void Report(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ReportLine(const std::string& text);    // "%s\n"
void ReportKeyLine(const char* key);         // the key's text and a line feed
void ReportNewLine();

}  // namespace kv
