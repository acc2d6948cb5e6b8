// The "dirswe.ctl" reader on arbitrary text: the folder it names is one path that
// ends in a separator, with no line break or NUL in it.
#include <cstdint>

#include "astro/ephemeris/ephemeris.h"
#include "common/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto dir = kv::EphemerisDirectoryOfControl(kv::fuzz::AsText(data, size));
  if (!dir) return 0;
  if (dir->empty() || (dir->back() != '/' && dir->back() != '\\'))
    kv::fuzz::Fail("folder without its separator");
  if (dir->find_first_of(std::string_view("\n\0", 2)) != std::string::npos)
    kv::fuzz::Fail("line break or NUL in the folder");
  if (dir->front() == ' ' || dir->front() == '\t') kv::fuzz::Fail("leading blank kept");
  return 0;
}
