#include "aspects/orb_block.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <set>
#include <system_error>

#include "aspects/block_files.h"
#include "aspects/orb_compiled.h"
#include "aspects/orb_text.h"
#include "common/codepage.h"
#include "common/files.h"
#include "common/journal.h"
#include "common/messages.h"

namespace kv {
namespace {

enum class CompileOutcome {
  kNoText,      // the text file is missing or unreadable
  kUpToDate,    // the compiled file was already newer
  kBuilt,       // the compiled file was written now
  kNotWritten,  // the text was read, but the compiled file could not be written
};

struct Compiled {
  CompileOutcome outcome = CompileOutcome::kNoText;
  AspectTable parsed;  // the text's records when it was read (kBuilt, kNotWritten)
};

void WarnCannotOpenOnce(const std::string& name, const char* mode) {
  // The wheel loads the block at every repaint: one box per run and file is enough.
  static std::set<std::string> warned;
  if (!warned.insert(name + '\n' + mode).second) return;
  WarningPrintf(W("Файл %s (%s) не открывается").c_str(), name.c_str(), mode);
}

Compiled Compile(const BlockFileNames& files, bool force) {
  Compiled result;
  std::optional<DosStamp> text_stamp = FileDosStamp(files.text);
  if (!text_stamp) return result;
  std::optional<DosStamp> compiled_stamp = FileDosStamp(files.compiled);
  if (!force && compiled_stamp && !TextIsNewer(*text_stamp, *compiled_stamp)) {
    result.outcome = CompileOutcome::kUpToDate;
    return result;
  }
  std::string text;
  if (!ReadWholeFile(files.text, &text).ok()) {
    WarnCannotOpenOnce(files.text, "r");
    return result;
  }
  result.parsed = ParseOrbText(text);
  if (result.parsed.size() > kMaxCompiledRecords) {
    Journal("%s: %zu aspects, only the first %zu are used", files.text.c_str(),
            result.parsed.size(), kMaxCompiledRecords);
    result.parsed.resize(kMaxCompiledRecords);
  }
  if (block_files::Replace(files.compiled, EncodeCompiledBlock(result.parsed))) {
    result.outcome = CompileOutcome::kBuilt;
  } else {
    WarnCannotOpenOnce(files.compiled, "wb");
    result.outcome = CompileOutcome::kNotWritten;
  }
  return result;
}

AspectTable InUse(AspectTable table, bool all) {
  if (!all) std::erase_if(table, [](const AspectRecord& r) { return r.SwitchedOff(); });
  return table;
}

std::string CutAtFirstDot(std::string_view name) {
  size_t dot = name.find('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

}  // namespace

BlockFileNames BlockFiles(std::string_view name) {
  size_t slash = name.find_last_of('/');
  std::string folder(slash == std::string_view::npos ? "" : name.substr(0, slash + 1));
  std::string stem =
      CutAtFirstDot(slash == std::string_view::npos ? name : name.substr(slash + 1));
  if (stem.empty()) stem = "0";
  return {folder + stem + ".ao", folder + stem + ".aoj"};
}

std::optional<DosStamp> FileDosStamp(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::time_t t = st.st_mtime;
  std::tm local{};
  localtime_r(&t, &local);
  int year = local.tm_year + 1900;
  // The DOS stamp holds 1980..2107; files outside that range compare at its ends.
  if (year < 1980) return DosStamp{(0 << 9) | (1 << 5) | 1, 0};
  if (year > 2107) return DosStamp{(127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29};
  DosStamp s;
  s.date = static_cast<uint16_t>((year - 1980) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
  s.time = static_cast<uint16_t>(local.tm_hour << 11 | local.tm_min << 5 |
                                 std::min(local.tm_sec, 59) / 2);
  return s;
}

bool TextIsNewer(DosStamp text, DosStamp compiled) {
  return text.date > compiled.date || (text.date == compiled.date && text.time > compiled.time);
}

Status CompileBlock(std::string_view name) {
  const BlockFileNames files = BlockFiles(name);
  if (Compile(files, false).outcome == CompileOutcome::kNoText)
    return Status::NotFound(files.text + ": no text to compile");
  return Status::Ok();
}

AspectTable LoadAspectTable(std::string_view name, bool all) {
  BlockFileNames files = BlockFiles(name);
  Compiled compiled = Compile(files, false);
  if (compiled.outcome == CompileOutcome::kNoText) {
    files = BlockFiles(kDefaultBlock);
    compiled = Compile(files, false);
    if (compiled.outcome == CompileOutcome::kNoText) return {};
  }
  if (compiled.outcome == CompileOutcome::kNotWritten) return InUse(compiled.parsed, all);

  std::string bytes;
  const bool read = ReadWholeFile(files.compiled, &bytes).ok();
  AspectTable table;
  const Status decoded = read ? DecodeCompiledBlock(bytes, all, &table) : Status::IoError("");
  if (decoded.ok()) return table;

  // A damaged or unreadable twin is out of date whatever its time says.
  Journal("%s: %s, rebuilt from %s", files.compiled.c_str(),
          read ? decoded.message().c_str() : "cannot be read", files.text.c_str());
  compiled = Compile(files, true);
  if (compiled.outcome == CompileOutcome::kNoText) return table;  // the complete ones
  return InUse(compiled.parsed, all);
}

Status SaveAspectTable(std::string_view name, const AspectTable& table) {
  BlockFileNames files = BlockFiles(name);
  if (!block_files::Replace(files.text, FormatOrbText(table))) {
    WarningPrintf(W("Файл %s (%s) не открывается").c_str(), files.text.c_str(), "w");
    return Status::IoError(files.text + ": the file cannot be written");
  }
  // The twin may carry the same 2-second stamp as the new text and would then be
  // taken as current; without it the next load must rebuild.
  block_files::RemoveIfPresent(files.compiled);
  return Status::Ok();
}

std::vector<std::string> ListBlocks(const std::string& folder) {
  std::vector<std::string> out;
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(folder, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::string name = it->path().filename().string();
    if (name.size() >= 3 && name.compare(name.size() - 3, 3, ".ao") == 0) out.push_back(name);
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::string CurrentBlockSetting(std::string_view chosen) {
  return std::string(chosen.substr(0, kMaxOrbFileChars));
}

NewBlockResult NewBlock(std::string_view answer, std::string_view current_block) {
  NewBlockResult result;
  std::string stem = CutAtFirstDot(answer.substr(0, kMaxNewBlockChars));
  if (stem.empty()) stem = "0";
  // A block lives in the working directory; a folder in the name would put it
  // where the list never shows it.
  if (stem.find_first_of("/\\") != std::string::npos) {
    WarningKey("SkF");
    result.status = Status::InvalidArgument("a folder in the block name");
    return result;
  }
  std::string name = stem + ".ao";
  if (Status free_name = CheckNewFileName(name); !free_name.ok()) {
    result.status = free_name;
    return result;
  }

  std::string source;
  const bool have_source = ReadWholeFile(BlockFiles(current_block).text, &source).ok() ||
                           ReadWholeFile(kDefaultBlock, &source).ok();
  std::string copy;
  if (have_source) {
    copy.reserve(source.size());
    for (size_t i = 0; i < source.size(); ++i) {
      char c = source[i];
      if (c == '\r' && i + 1 < source.size() && source[i + 1] == '\n') continue;
      copy += c;
    }
  }
  if (!block_files::Replace(name, copy)) {
    WarningPrintf(W("Файл %s (%s) не открывается").c_str(), name.c_str(), "w");
    result.status = Status::IoError(name + ": the file cannot be written");
    return result;
  }
  // A block of this name deleted earlier left its twin behind.
  block_files::RemoveIfPresent(stem + ".aoj");
  result.status = Status::Ok();
  result.file_name = name;
  return result;
}

Status DeleteBlock(std::string_view file_name) { return DeleteFileChecked(file_name); }

}  // namespace kv
