// Damaged copies of the default orb block "0.ao" and of its compiled twin "0.aoj",
// loaded as every calculation loads them. The text is never changed by a load; a
// twin whose damage shows is rebuilt from the text, so the load gives the text's
// table; a twin that decodes (a changed number the format cannot see) gives what it
// holds, and the text then still stands as it was.
#include <gtest/gtest.h>

#include <string>

#include "aspects/orb_block.h"
#include "aspects/orb_compiled.h"
#include "aspects/orb_text.h"
#include "common/tests/damaged_copies.h"
#include "test_support.h"

namespace kv {
namespace {

using testing::Checksum;
using testing::DamagedCopies;
using testing::ReadBytes;
using testing::WriteBytes;
using testing_support::SetMtime;

constexpr std::time_t kT = 1700000000;

class DamagedBlocks : public testing_support::WorkdirTest {};

std::string Encoded(const AspectTable& t) { return EncodeCompiledBlock(t); }

TEST_F(DamagedBlocks, DamagedTextLoadsAndCompilesToTheSameTable) {
  const std::string good = ReadBytes(std::string(KV_TEST_DATA) + "/0.ao");
  ASSERT_FALSE(good.empty());
  const auto copies = DamagedCopies(good, 21);
  for (const auto& d : copies) {
    std::remove("0.aoj");
    WriteBytes("0.ao", d.bytes);
    const AspectTable first = LoadAspectTable("0.ao", true);  // compiles the twin
    EXPECT_EQ(Checksum(ReadBytes("0.ao")), Checksum(d.bytes)) << d.what;
    EXPECT_EQ(Encoded(first), Encoded(ParseOrbText(d.bytes))) << d.what;
    const AspectTable again = LoadAspectTable("0.ao", true);  // from the twin
    EXPECT_EQ(Encoded(again), Encoded(first)) << d.what;
    for (const AspectRecord& r : LoadAspectTable("0.ao", false))
      EXPECT_FALSE(r.SwitchedOff()) << d.what;
  }
  RecordProperty("damaged_copies", static_cast<int>(copies.size()));
}

TEST_F(DamagedBlocks, DamagedTwinIsRebuiltFromTheText) {
  const std::string text = ReadBytes(std::string(KV_TEST_DATA) + "/0.ao");
  const AspectTable table = ParseOrbText(text);
  const std::string good = EncodeCompiledBlock(table);
  const auto copies = DamagedCopies(good, 22);
  int rebuilt = 0;
  for (const auto& d : copies) {
    WriteBytes("0.ao", text);
    WriteBytes("0.aoj", d.bytes);
    SetMtime("0.ao", kT);
    SetMtime("0.aoj", kT);  // the same stamp: the twin counts as current
    AspectTable held;
    const bool decodes = DecodeCompiledBlock(d.bytes, true, &held).ok();
    const AspectTable loaded = LoadAspectTable("0.ao", true);
    EXPECT_EQ(Checksum(ReadBytes("0.ao")), Checksum(text)) << d.what;
    if (decodes) {
      EXPECT_EQ(Encoded(loaded), Encoded(held)) << d.what;
    } else {
      ++rebuilt;
      EXPECT_EQ(Encoded(loaded), good) << d.what;
      EXPECT_EQ(ReadBytes("0.aoj"), good) << d.what;  // the twin is sound again
    }
  }
  EXPECT_GT(rebuilt, 0);
  RecordProperty("damaged_copies", static_cast<int>(copies.size()));
}

}  // namespace
}  // namespace kv
