// Line-oriented text files: lines of any length, comment lines ("*" first or blank),
// and named sections opened by "@@" header lines, addressed as "file(section)".
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The next line without its line feed (and without a carriage return before it), or
// nothing at the end. A file ending in a line feed gives one last empty line.
std::optional<std::string> ReadLine(std::FILE* f);
// ReadLine, skipping lines that are blank and lines that begin with "*".
std::optional<std::string> ReadContentLine(std::FILE* f);

// True for lines the content readers skip.
bool IsCommentLine(std::string_view line);

enum class SectionEnd { kAtSingleAt = 1, kAtDoubleAt = 2 };

class SectionReader {
 public:
  // Next content line of the section, or nothing at its end.
  std::optional<std::string> ReadLine();
  explicit SectionReader(FilePtr file, SectionEnd end, bool whole_file)
      : file_(std::move(file)), end_(end), whole_file_(whole_file) {}

 private:
  FilePtr file_;
  SectionEnd end_;
  bool whole_file_;
  bool done_ = false;
};

// "name(section)": opens name and skips to the "@@" line whose words include section.
// A name without "(...)" opens the whole file. Nothing when file or section is missing.
std::unique_ptr<SectionReader> OpenSection(std::string_view name, SectionEnd end);
// The same with kAtDoubleAt; warns "Не открывается файл '%s'" with the whole name.
std::unique_ptr<SectionReader> OpenSectionOrWarn(std::string_view name);

}  // namespace kv
