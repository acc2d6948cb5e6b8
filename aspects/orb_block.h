// Orb blocks as files: a block named "x" lives in "x.ao" (text, edited by people and by
// the aspect dialog) and "x.aoj" (compiled, read by every calculation and repaint).
// Names are relative to the working directory the program runs in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "aspects/aspect_record.h"
#include "common/status.h"

namespace kv {

inline constexpr const char* kDefaultBlock = "0.ao";
inline constexpr size_t kMaxOrbFileChars = 78;   // setting "ORBFILE"
inline constexpr size_t kMaxNewBlockChars = 40;  // the name input dialog

struct BlockFileNames {
  std::string text;      // "x.ao"
  std::string compiled;  // "x.aoj"
};

// Both file names of a block. The file-name part is cut at its first "." (so "0",
// "0.ao" and "0.xyz" are one block) and an empty name stands for "0". Folders in front
// are kept as given: a dot in a folder name does not cut the name.
BlockFileNames BlockFiles(std::string_view name);

// File time as the DOS date and time, the 2-second stamps the rebuild rule compares.
struct DosStamp {
  uint16_t date = 0;  // (year - 1980) << 9 | month << 5 | day
  uint16_t time = 0;  // hour << 11 | minute << 5 | second / 2
};
// Nothing when the file does not exist.
std::optional<DosStamp> FileDosStamp(const std::string& path);
// True when `text` is later than `compiled`: date first, then time.
bool TextIsNewer(DosStamp text, DosStamp compiled);

// Makes the compiled file up to date with the text: NotFound when the text file does
// not exist (or cannot be read), else ok. A compiled file that cannot be written is
// reported once per run ("Файл %s (%s) не открывается") and still gives ok; the loader
// then reads the text itself.
Status CompileBlock(std::string_view name);

// The table of a block, falling back to "0.ao" and then to an empty table. With `all`
// the editor gets every record; without it switched-off records are dropped.
// A damaged compiled file is rebuilt from the text; it never stops the load.
AspectTable LoadAspectTable(std::string_view name, bool all);

// Writes the whole table (switched-off records too) as the block's text file,
// replacing it only once the new text is complete, and drops the compiled twin so
// the next load rebuilds it even within the same two seconds. Ok, or IoError after a
// warning (the old text is then untouched).
Status SaveAspectTable(std::string_view name, const AspectTable& table);

// --- Block operations of the orb-blocks dialog ---

// Names of the "*.ao" files in `folder` (the working directory by default), sorted.
// Names keep their case: on this system "Mine.ao" and "mine.ao" are different files.
std::vector<std::string> ListBlocks(const std::string& folder = ".");

// The value "ORBFILE" takes when the user selects a block: at most 78 characters.
std::string CurrentBlockSetting(std::string_view chosen);

struct NewBlockResult {
  // Ok when created; InvalidArgument or AlreadyExists when the name was refused, IoError
  // when the file could not be written (a message was shown either way).
  Status status = Status::InvalidArgument("no block made");
  std::string file_name;  // "name.ao" when created, to add to the list
};
// The answer of the name dialog (cut at 40 characters, then at its first "."; ".ao"
// appended). A blank or a folder separator in the name is refused with "SkF", an
// existing file with "F%is". The new file is a line-by-line copy of the text of
// `current_block` (or of "0.ao" when that has no text; empty when neither has).
NewBlockResult NewBlock(std::string_view answer, std::string_view current_block);

// Deletes the chosen text file; the compiled twin stays. Ok, or IoError after "DF%".
Status DeleteBlock(std::string_view file_name);

}  // namespace kv
