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

// A worker process of a batch keeps its entries back (HoldJournalEntries) and hands
// them over when its lines' turn comes (TakeHeldJournalEntries); AppendJournalEntries
// writes such entries as they are, the run's "*****" in front when they are its
// first. Whether the run has an entry already passes between the processes with
// JournalRunHasEntry and SetJournalRunHasEntry.
void HoldJournalEntries(bool hold);
std::string TakeHeldJournalEntries();
void AppendJournalEntries(const std::string& entries);
bool JournalRunHasEntry();
void SetJournalRunHasEntry(bool has);

}  // namespace kv
