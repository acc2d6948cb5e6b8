// The text-resource reader ("kvima.t", code page 866) on arbitrary text, and every
// entry used as a message format with argument lists of each kind: a format from the
// file is filled only when it fits the arguments, and a message never exceeds its
// limit.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/format_text.h"
#include "common/fuzz/fuzz_support.h"
#include "common/messages.h"
#include "common/text_resources.h"

namespace {

// Keys as the reader takes them: the first word of each line, in 1251.
std::vector<std::string> KeysOf(std::string_view text, size_t limit) {
  std::vector<std::string> keys;
  size_t pos = 0;
  while (pos < text.size() && keys.size() < limit) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    keys.push_back(kv::Cp866ToCp1251(line.substr(0, line.find(' '))));
    pos = end + 1;
  }
  return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kv::fuzz::Quiet();
  static const bool installed = [] {
    kv::InstallResourceLookup();
    return true;
  }();
  (void)installed;
  const std::string_view text = kv::fuzz::AsText(data, size);
  kv::TextResources& r = kv::Resources();
  r.LoadText(text);

  using kv::FormatArg;
  const std::string word = "\xD1\xEB\xEE\xE2\xEE";  // a 1251 word
  const std::vector<std::vector<FormatArg>> argument_lists = {
      {},
      {FormatArg(word)},
      {FormatArg(42)},
      {FormatArg(-1.5)},
      {FormatArg("file.ao"), FormatArg(7)},
      {FormatArg(1), FormatArg(2), FormatArg(3.25)},
      {FormatArg("a"), FormatArg("b"), FormatArg("c"), FormatArg(1e300)},
  };
  for (const std::string& key : KeysOf(text, 64)) {
    const std::string value = r.Lookup(key);
    (void)r.LookupList(key);
    (void)r.LookupIndexed(0, key);
    (void)r.LookupIndexed(3, key);
    for (const auto& args : argument_lists) {
      const std::string message = kv::FormatKeyArgs(key, args);
      if (message.size() >= kv::kMaxMessageBytes) kv::fuzz::Fail("message over its limit");
      (void)kv::FormatChecked(value, args);
    }
  }
  // The whole input as one format as well.
  for (const auto& args : argument_lists) (void)kv::FormatChecked(text, args);
  return 0;
}
