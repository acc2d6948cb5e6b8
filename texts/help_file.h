// The help file "kvima.lrn" (code page 866) and the files it includes:
//   @@other.lrn            includes a further help file, read after those already listed
//   @HZ HD                 key line: the topic's keys
//   text lines ...         the topic, up to the next line beginning with "@"
// A help line may hold one link: text <link text ref=TOPIC> more text.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

inline constexpr const char* kHelpFile = "kvima.lrn";
// Longest topic key a link can name.
inline constexpr size_t kMaxHelpTarget = 12;

// The lines (code page 1251) of the first topic filed under `key`, searching
// `main_file` in `dir` and then the files its "@@" lines name, each file once (a file
// that includes itself, or a ring of includes, is read once). A file that does not
// open is reported and the search goes on. Nothing when no file has the topic.
std::optional<std::vector<std::string>> FindHelpTopic(const std::filesystem::path& dir,
                                                      std::string_view key,
                                                      std::string_view main_file = kHelpFile);

enum class HelpSpanKind { kNormal, kLink };

struct HelpSpan {
  HelpSpanKind kind;
  std::string text;
};

struct HelpLine {
  std::vector<HelpSpan> spans;  // what the window paints, left to right; no empty span
  std::string target;           // topic a click on the line opens; empty for none
};

// Splits a shown help line (cut at "@@" first) into the text before "<", the link
// text up to "ref=", and the text after the closing ">". "<=" is no link. The target
// is the text after the first "ref=", cut at ">" and to kMaxHelpTarget characters.
HelpLine ParseHelpLine(std::string_view line);

}  // namespace kv
