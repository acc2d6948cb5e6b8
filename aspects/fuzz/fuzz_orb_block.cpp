// The orb-block readers on arbitrary bytes: the input holds a text block (".ao") and,
// after a separator line, its compiled twin (".aoj"). The text read and written back
// is stable once written; every record the decoder keeps encodes to the bytes it came
// from; and the loader, given both files, falls back to the text for a damaged twin
// and never changes the text file.
#include <cstdint>
#include <cstring>
#include <string>

#include "aspects/orb_block.h"
#include "aspects/orb_compiled.h"
#include "aspects/orb_text.h"
#include "common/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace fuzz = kv::fuzz;
  fuzz::Quiet();
  const auto parts = fuzz::SplitFiles(fuzz::AsText(data, size), 2);
  const std::string& text = parts[0];
  const std::string compiled = parts.size() > 1 ? parts[1] : std::string();

  const std::string written = kv::FormatOrbText(kv::ParseOrbText(text));
  const std::string rewritten = kv::FormatOrbText(kv::ParseOrbText(written));
  if (kv::FormatOrbText(kv::ParseOrbText(rewritten)) != rewritten)
    fuzz::Fail("orb text not stable");

  kv::AspectTable table;
  (void)kv::DecodeCompiledBlock(compiled, true, &table);
  for (size_t i = 0; i < table.size(); ++i) {
    unsigned char out[kv::kAspectRecordBytes];
    kv::EncodeAspectRecord(table[i], out);
    const size_t at = kv::kCompiledHeaderBytes + i * kv::kAspectRecordBytes;
    if (at + sizeof out > compiled.size() || std::memcmp(out, compiled.data() + at, sizeof out) != 0)
      fuzz::Fail("compiled record does not encode to its bytes");
  }
  kv::AspectTable in_use;
  (void)kv::DecodeCompiledBlock(compiled, false, &in_use);
  for (const kv::AspectRecord& rec : in_use)
    if (rec.SwitchedOff()) fuzz::Fail("switched-off record kept");

  const auto dir = fuzz::FreshScratch("orb_block");
  fuzz::WriteFile(dir / "b.ao", text);
  fuzz::WriteFile(dir / "b.aoj", compiled);
  const std::string block = (dir / "b.ao").string();
  (void)kv::LoadAspectTable(block, true);
  (void)kv::LoadAspectTable(block, false);
  if (fuzz::ReadFile(dir / "b.ao") != text) fuzz::Fail("the text block was changed");
  return 0;
}
