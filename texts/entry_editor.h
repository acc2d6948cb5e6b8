// The entry editor's work on a text collection: one entry (its key line and text) is
// copied into a temporary file in code page 1251, the user edits that file, and the
// edited entry is written back in place of the old one.
//
// The write-back never leaves a half-written collection: the new file is written in
// full as "p2.tmp" beside it, flushed to disk and renamed over the old one in one
// step. Whatever fails, the old file stays byte for byte, and so does the edit.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

// The editor opens files below this size only: 64000 bytes open, 64001 do not.
inline constexpr uint64_t kEditorMaxBytes = 64000;
inline constexpr const char* kWriteBackFile = "p2.tmp";

struct ExtractedEntry {
  std::filesystem::path collection_file;  // the file of the collection holding the key
  std::filesystem::path temp_file;        // the entry in code page 1251, for editing
  std::string key;
};

// Finds the first file, `collection_file` in `dir` and then its FILES= files (in
// `dir` only), with a key line naming `key`, and copies the key line and the text
// after it into a new temporary file in `dir`, converted to code page 1251. With
// `justify` (option byte 42) a text line shorter than 72 characters that does not
// begin with "=" or "#" and is followed by a line beginning with a non-blank is
// justified to 72. Nothing, after the message "FnoIX" with the key (or the file-open
// message), when the key or the file is missing.
std::optional<ExtractedEntry> ExtractEntry(const std::filesystem::path& dir,
                                           std::string_view collection_file,
                                           std::string_view key, bool justify);

enum class WriteBackStatus {
  kDone,            // the collection holds the edit; the temporary file is removed
  kEntryGone,       // the collection no longer has the key ("FnoIX")
  kCannotRead,      // the collection file does not open (file-open message)
  kCannotWrite,     // "p2.tmp" could not be written completely ("tmp")
  kCannotReplace,   // the rename failed ("RE%I%")
};

// Writes the edited entry back: the collection file up to the entry's key line, the
// temporary file's lines up to its last non-blank one, converted to code page 866
// (with `justify`, every run of blanks after the leading ones becomes one blank),
// then the collection from the next key line on. The bytes outside the entry are
// copied unchanged. On any failure the collection file and the temporary file stay
// as they were.
WriteBackStatus WriteBackEntry(const ExtractedEntry& entry, bool justify);

// Replaces `target` by `bytes` through `scratch` (same folder): written, flushed and
// synced in full, then renamed over the target. The target keeps its permissions. On
// failure nothing is replaced and the scratch file is removed.
WriteBackStatus ReplaceFile(const std::filesystem::path& target,
                            const std::filesystem::path& scratch, std::string_view bytes);

// The editor's save: the whole text, converted to code page 866 first when the
// editor's conversion flag is set, replacing the file through a scratch file.
WriteBackStatus SaveEditorText(const std::filesystem::path& path, std::string_view text,
                               bool to_cp866);

// The editor's text of a file: its lines joined with CR LF. Nothing for a file of
// more than kEditorMaxBytes bytes (`too_big` set) or one that does not open.
std::optional<std::string> LoadForEditor(const std::filesystem::path& path, bool* too_big);
bool FitsEditor(uint64_t size);

// Blanks after the leading ones collapsed to one ("  a   b" -> "  a b").
std::string CollapseInnerBlanks(std::string_view line);

// The date the editor inserts: "%02d.%02d.%04d" (day, month, year).
std::string EditorDate(int day, int month, int year);

}  // namespace kv
