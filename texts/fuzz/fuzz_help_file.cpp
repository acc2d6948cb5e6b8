// The help reader ("kvima.lrn" and the files its "@@" lines include) on arbitrary
// bytes. The input is split at separator lines into "kvima.lrn", "a.lrn", "b.lrn" and
// "c.lrn". Every key of every key line is looked up, and every line of a topic found
// is split into its spans and link.
#include <cstdint>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/fuzz/fuzz_support.h"
#include "texts/help_file.h"

namespace {

const char* const kNames[] = {"kvima.lrn", "a.lrn", "b.lrn", "c.lrn"};

// The first words of the key lines of a file, in 1251, as the reader compares them.
void CollectKeys(std::string_view text, std::vector<std::string>& keys) {
  size_t pos = 0;
  while (pos < text.size() && keys.size() < 24) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (line.size() < 2 || line[0] != '@' || line[1] == '@') continue;
    std::string_view rest = line.substr(1);
    const size_t a = rest.find_first_not_of(" \t");
    if (a == std::string_view::npos) continue;
    rest = rest.substr(a);
    keys.push_back(kv::Cp866ToCp1251(rest.substr(0, rest.find_first_of(" \t\r"))));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace fuzz = kv::fuzz;
  fuzz::Quiet();
  const auto parts = fuzz::SplitFiles(fuzz::AsText(data, size), 4);
  const auto dir = fuzz::FreshScratch("help_file");
  std::vector<std::string> keys = {"HZ", "missing"};
  for (size_t i = 0; i < parts.size(); ++i) {
    fuzz::WriteFile(dir / kNames[i], parts[i]);
    CollectKeys(parts[i], keys);
  }
  for (const std::string& key : keys) {
    const auto topic = kv::FindHelpTopic(dir, key);
    if (!topic) continue;
    for (const std::string& line : *topic) {
      const kv::HelpLine parsed = kv::ParseHelpLine(line);
      if (parsed.target.size() > kv::kMaxHelpTarget) fuzz::Fail("link target over its length");
      for (const kv::HelpSpan& span : parsed.spans)
        if (span.text.empty()) fuzz::Fail("empty span");
    }
  }
  for (size_t i = 0; i < parts.size(); ++i)
    if (fuzz::ReadFile(dir / kNames[i]) != parts[i]) fuzz::Fail("a help file was changed");
  return 0;
}
