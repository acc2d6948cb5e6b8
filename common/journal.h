// The journal "jur.jur": an append-only record of every warning and a few diagnostics.
// Each entry goes to the file in one write, so it survives a crash right after it; the
// first entry of a run is preceded by the line "*****".
#pragma once

#include <string>

namespace kv {

inline constexpr const char* kJournalFile = "jur.jur";

// Writes one entry (printf format, 1251 text; numbers with a decimal point whatever
// the locale). A journal that cannot be opened drops the entry silently.
void Journal(const char* format, ...) __attribute__((format(printf, 1, 2)));
void JournalText(const std::string& text);

// For tests: write to another file and start a new "run" (next entry gets "*****").
void SetJournalPath(const std::string& path);
void StartJournalRun();

// A worker process writes its entries to a file of its own, in the same run; the
// process that started it puts them into the journal with AppendJournalEntries
// (lines as written, the run's "*****" in front when they are its first).
void RedirectJournalInRun(const std::string& path);
void AppendJournalEntries(const std::string& entries);
// A worker may keep its entries in memory and write them together with its output
// (FlushJournal), one write for thousands of lines instead of one per entry.
void HoldJournalEntries(bool hold);
void FlushJournal();

}  // namespace kv
