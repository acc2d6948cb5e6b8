// The "kvi.ini" reader on arbitrary text. Settings read from a file and written back
// must read back as the same settings: once written, the text is stable.
#include <cstdint>
#include <string>

#include "common/fuzz/fuzz_support.h"
#include "common/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kv::fuzz::Quiet();
  kv::Settings s;
  kv::ParseSettingsText(kv::fuzz::AsText(data, size), s);
  const std::string written = kv::FormatSettingsText(s);
  kv::Settings again;
  kv::ParseSettingsText(written, again);
  const std::string rewritten = kv::FormatSettingsText(again);
  kv::Settings third;
  kv::ParseSettingsText(rewritten, third);
  if (kv::FormatSettingsText(third) != rewritten) kv::fuzz::Fail("settings text not stable");
  return 0;
}
