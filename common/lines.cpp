#include "common/lines.h"

#include "common/files.h"
#include "common/messages.h"
#include "common/tokens.h"

namespace kv {

std::optional<std::string> ReadLine(std::FILE* f) {
  if (!f) return std::nullopt;
  std::string line;
  line.reserve(81);
  int c = std::fgetc(f);
  if (c == EOF) return std::nullopt;
  while (c != EOF && c != '\n') {
    line += static_cast<char>(c);
    c = std::fgetc(f);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (c == '\n' && !line.empty()) {
    // A line feed at the very end still yields one last empty line: push one back.
    int next = std::fgetc(f);
    std::ungetc(next == EOF ? '\n' : next, f);
  }
  return line;
}

bool IsCommentLine(std::string_view line) {
  if (!line.empty() && line[0] == '*') return true;
  for (char c : line)
    if (c != ' ' && c != '\t' && c != '\r') return false;
  return true;
}

std::optional<std::string> ReadContentLine(std::FILE* f) {
  while (auto line = ReadLine(f)) {
    if (!IsCommentLine(*line)) return line;
  }
  return std::nullopt;
}

std::optional<std::string> SectionReader::ReadLine() {
  if (done_) return std::nullopt;
  auto line = ReadContentLine(file_.get());
  if (!line) {
    done_ = true;
    return std::nullopt;
  }
  if (!whole_file_) {
    bool stop = end_ == SectionEnd::kAtDoubleAt ? line->rfind("@@", 0) == 0
                                                : line->rfind("@", 0) == 0;
    if (stop) {
      done_ = true;
      return std::nullopt;
    }
  }
  return line;
}

std::unique_ptr<SectionReader> OpenSection(std::string_view name, SectionEnd end) {
  size_t open = name.find('(');
  std::string file(name.substr(0, open));
  std::string section;
  if (open != std::string_view::npos) {
    size_t close = name.find(')', open);
    section = std::string(name.substr(open + 1, close == std::string_view::npos
                                                    ? std::string_view::npos
                                                    : close - open - 1));
  }
  FilePtr f(OpenQuietly(file));
  if (!f) return nullptr;
  if (open == std::string_view::npos)
    return std::make_unique<SectionReader>(std::move(f), end, true);
  while (auto line = ReadContentLine(f.get())) {
    if (line->rfind("@@", 0) != 0) continue;
    for (const auto& word : Tokens(std::string_view(*line).substr(2)))
      if (word == section) return std::make_unique<SectionReader>(std::move(f), end, false);
  }
  return nullptr;
}

std::unique_ptr<SectionReader> OpenSectionOrWarn(std::string_view name) {
  auto reader = OpenSection(name, SectionEnd::kAtDoubleAt);
  if (!reader) WarnCannotOpen(name);
  return reader;
}

}  // namespace kv
