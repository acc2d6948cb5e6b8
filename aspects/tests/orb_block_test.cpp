#include "aspects/orb_block.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "aspects/orb_compiled.h"
#include "test_support.h"

namespace kv {
namespace {

using testing_support::ReadFile;
using testing_support::SetMtime;
using testing_support::Shown;
using testing_support::WriteFile;

constexpr std::time_t kT = 1700000000;  // even, so kT and kT + 1 share a DOS stamp

std::time_t Mtime(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? st.st_mtime : -1;
}

class OrbBlockTest : public testing_support::WorkdirTest {};

TEST(BlockNames, AllSpellingsOfTheDefaultBlockNameTheSameFiles) {
  for (const char* name : {"", "0", "0.ao", "0.xyz", "0.", ".ao"}) {
    BlockFileNames f = BlockFiles(name);
    EXPECT_EQ(f.text, "0.ao") << name;
    EXPECT_EQ(f.compiled, "0.aoj") << name;
  }
  EXPECT_EQ(BlockFiles("mine.a.b").text, "mine.ao");
  // A dot in a folder name does not cut the block name.
  EXPECT_EQ(BlockFiles("/home/u.v/orbs/my.ao").compiled, "/home/u.v/orbs/my.aoj");
}

TEST(DosStamps, DateFirstThenTime) {
  EXPECT_TRUE(TextIsNewer({100, 0}, {99, 65000}));
  EXPECT_FALSE(TextIsNewer({99, 65000}, {100, 0}));
  EXPECT_TRUE(TextIsNewer({100, 6}, {100, 5}));
  EXPECT_FALSE(TextIsNewer({100, 5}, {100, 5}));
}

TEST_F(OrbBlockTest, StampHasTwoSecondResolution) {
  WriteFile("a", "");
  WriteFile("b", "");
  SetMtime("a", kT);
  SetMtime("b", kT + 1);
  auto a = FileDosStamp("a"), b = FileDosStamp("b");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->date, b->date);
  EXPECT_EQ(a->time, b->time);
  std::tm local{};
  std::time_t t = kT;
  localtime_r(&t, &local);
  EXPECT_EQ(a->date >> 9, local.tm_year + 1900 - 1980);
  EXPECT_EQ(a->time >> 11, local.tm_hour);
  EXPECT_FALSE(FileDosStamp("missing"));
}

TEST_F(OrbBlockTest, HandWrittenBlockCompilesToTheDescribedRecords) {
  WriteFile("hand.ao",
            "* my block\n"
            "\n"
            "60 6 5 4 S 0 0 -1 1\n"
            " *45 2\n"
            "72\x01" "2\x01" "3\n"
            "90 8\n");
  ASSERT_TRUE(CompileBlock("hand").ok());
  std::string bytes = ReadFile("hand.aoj");
  ASSERT_EQ(bytes.size(), 2u + 4 * 123 + 4 * 4);
  EXPECT_EQ(bytes[0], 4);
  EXPECT_EQ(bytes[1], 0);
  auto float_at = [&](size_t at) {
    float f;
    std::memcpy(&f, bytes.data() + at, 4);
    return f;
  };
  const size_t r0 = 2, r1 = r0 + 123, r2 = r1 + 123, r3 = r2 + 123;
  EXPECT_EQ(float_at(r0), 60.0f);
  EXPECT_EQ(float_at(r0 + 4), 6.0f);
  EXPECT_EQ(float_at(r0 + 4 + 4 * 27), 1.0f);
  EXPECT_EQ(static_cast<unsigned char>(bytes[r0 + 122]), 1);  // line kind
  EXPECT_EQ(float_at(r1), 0.0f);  // " *45" is a line whose angle does not read
  EXPECT_EQ(float_at(r1 + 4), 2.0f);
  EXPECT_EQ(float_at(r2), 72.0f);
  EXPECT_EQ(float_at(r2 + 8), 3.0f);
  EXPECT_EQ(float_at(r3), 90.0f);
  EXPECT_EQ(float_at(r3 + 4), 8.0f);
  EXPECT_EQ(std::string(bytes, r3 + 116, 7), std::string("\0\0\xff\xff\xff\xff\0", 7));
  // The angles again after the records.
  EXPECT_EQ(float_at(r3 + 123), 60.0f);
  EXPECT_EQ(float_at(r3 + 123 + 12), 90.0f);
}

TEST_F(OrbBlockTest, MissingTextFailsWithoutCreatingTheTwin) {
  EXPECT_TRUE(CompileBlock("none").IsNotFound());
  EXPECT_FALSE(std::filesystem::exists("none.aoj"));
}

TEST_F(OrbBlockTest, RebuildsOnlyWhenTheTextIsNewer) {
  WriteFile("b.ao", "60 6\n");
  SetMtime("b.ao", kT);
  ASSERT_EQ(LoadAspectTable("b", true).size(), 1u);
  SetMtime("b.aoj", kT + 10);
  LoadAspectTable("b", true);
  EXPECT_EQ(Mtime("b.aoj"), kT + 10) << "loading twice must not rebuild";

  // Changed text, but older than the twin: the twin stands.
  WriteFile("b.ao", "60 6\n90 8\n");
  SetMtime("b.ao", kT + 4);
  EXPECT_EQ(LoadAspectTable("b", true).size(), 1u);
  // Within the same two seconds as the twin: still the same stamp, no rebuild.
  SetMtime("b.ao", kT + 11);
  EXPECT_EQ(LoadAspectTable("b", true).size(), 1u);
  // Later: rebuilt.
  SetMtime("b.ao", kT + 12);
  AspectTable t = LoadAspectTable("b", true);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[1].angle, 90.0f);
  EXPECT_NE(Mtime("b.aoj"), kT + 10);
}

TEST_F(OrbBlockTest, FallsBackToTheDefaultBlockThenToNothing) {
  EXPECT_TRUE(LoadAspectTable("gone.ao", false).empty());
  WriteFile("0.ao", "120 5\n");
  AspectTable t = LoadAspectTable("gone.ao", false);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].angle, 120.0f);
  EXPECT_FALSE(std::filesystem::exists("gone.aoj"));
  EXPECT_TRUE(Shown().empty());  // silently
}

TEST_F(OrbBlockTest, MoreLinesThanTheCountHoldsAreCutNotWrapped) {
  std::string text;
  for (int i = 0; i < 32770; ++i) text += "1 1\n";
  WriteFile("big.ao", text);
  ASSERT_TRUE(CompileBlock("big").ok());
  std::string bytes = ReadFile("big.aoj");
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]) | static_cast<unsigned char>(bytes[1]) << 8,
            32767);
  EXPECT_EQ(LoadAspectTable("big", true).size(), 32767u);
}

TEST_F(OrbBlockTest, BlockWithEveryAspectOffIsEmptyForCalculation) {
  WriteFile("off.ao", "0 S 1\n60 S 1 0 -1 1\n");
  EXPECT_TRUE(LoadAspectTable("off", false).empty());
  EXPECT_EQ(LoadAspectTable("off", true).size(), 2u);
}

struct Damage {
  const char* what;
  std::string bytes;
};

TEST_F(OrbBlockTest, DamagedTwinIsRebuiltFromTheText) {
  std::string one_record = EncodeCompiledBlock(AspectTable(1)).substr(0, 2 + 123);
  std::string too_many = one_record;
  too_many[0] = 50;
  std::string negative = one_record;
  negative[0] = '\xff';
  negative[1] = '\xff';
  for (const Damage& d : {Damage{"empty", ""}, Damage{"one byte", "\x02"},
                          Damage{"count beyond the records", too_many},
                          Damage{"negative count", negative},
                          Damage{"cut inside a record", one_record.substr(0, 70)}}) {
    WriteFile("d.ao", "60 6\n90 8 S 1\n120 5\n");
    SetMtime("d.ao", kT);
    WriteFile("d.aoj", d.bytes);
    SetMtime("d.aoj", kT + 100);
    AspectTable used = LoadAspectTable("d", false);
    ASSERT_EQ(used.size(), 2u) << d.what;
    EXPECT_EQ(used[1].angle, 120.0f) << d.what;
    AspectTable again;
    EXPECT_TRUE(DecodeCompiledBlock(ReadFile("d.aoj"), true, &again).ok()) << d.what;
    EXPECT_EQ(again.size(), 3u) << d.what;
  }
  EXPECT_NE(ReadFile("jur.jur").find("d.aoj"), std::string::npos);
}

TEST_F(OrbBlockTest, UnwritableTwinStillGivesTheTextsAspects) {
  WriteFile("w.ao", "60 6\n0 S 1\n");
  std::filesystem::create_directory("w.aoj");  // nothing can replace it
  AspectTable t = LoadAspectTable("w", false);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].angle, 60.0f);
  EXPECT_EQ(LoadAspectTable("w", true).size(), 2u);
  ASSERT_EQ(Shown().size(), 1u) << "one message per run, not one per repaint";
  EXPECT_NE(Shown()[0].find("w.aoj"), std::string::npos);
}

TEST_F(OrbBlockTest, SaveAndReload) {
  WriteFile("s.ao", "60 6\n");
  AspectTable t = LoadAspectTable("s", true);  // builds the twin now
  t[0].off = 1;
  t[0].colour = 0x00FF00;
  t[0].line_kind = 3;
  for (int i = 0; i < 28; ++i) t[0].orbs[i] = 0.5f * (i + 1);
  AspectRecord extra;
  extra.angle = 144.0f;
  t.push_back(extra);
  ASSERT_TRUE(SaveAspectTable("s.ao", t).ok());
  // Saved within the second the twin was built: the reload must still see it.
  AspectTable back = LoadAspectTable("s", true);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].angle, 60.0f);
  EXPECT_EQ(back[0].off, 1);
  EXPECT_EQ(back[0].colour, 0x00FF00);
  EXPECT_EQ(back[0].line_kind, 3);
  for (int p = 1; p <= 21; ++p) EXPECT_EQ(back[0].Orb(p), 0.5f * p) << p;
  EXPECT_EQ(back[0].Orb(22), 1.0f);
  for (int p = 23; p <= 28; ++p) EXPECT_EQ(back[0].Orb(p), back[0].Orb(p - 6)) << p;
  EXPECT_EQ(back[1].angle, 144.0f);
  EXPECT_TRUE(LoadAspectTable("s", false).size() == 1u);
}

TEST_F(OrbBlockTest, FailedSaveKeepsTheOldText) {
  WriteFile("k.ao", "60 6\n");
  std::filesystem::create_directory("k.ao.new.tmp");
  EXPECT_EQ(SaveAspectTable("k", AspectTable(3)).code(), StatusCode::kIoError);
  EXPECT_EQ(ReadFile("k.ao"), "60 6\n");
  EXPECT_EQ(Shown().size(), 1u);
}

TEST_F(OrbBlockTest, ListBlocksShowsTextFilesOnly) {
  for (const char* f : {"b.ao", "A.ao", "c.aoj", "d.txt", "e.ao.bak"}) WriteFile(f, "");
  std::filesystem::create_directory("dir.ao");
  EXPECT_EQ(ListBlocks(), (std::vector<std::string>{"A.ao", "b.ao"}));
}

TEST_F(OrbBlockTest, NewBlockChecksTheNameAndCopiesTheCurrentBlock) {
  WriteFile("0.ao", "60 6\n");
  WriteFile("cur.ao", "* mine\r\n90 8\r\n");
  WriteFile("fresh.aoj", "stale twin of a deleted block");

  EXPECT_EQ(NewBlock("my block", "cur.ao").status.code(), StatusCode::kInvalidArgument);
  EXPECT_EQ(Shown().back(), "SkF");
  EXPECT_EQ(NewBlock("sub/up", "cur.ao").status.code(), StatusCode::kInvalidArgument);
  EXPECT_EQ(Shown().back(), "SkF");
  EXPECT_EQ(NewBlock("cur.txt", "cur.ao").status.code(), StatusCode::kAlreadyExists);
  EXPECT_EQ(Shown().back(), "exists: cur.ao");

  NewBlockResult r = NewBlock("fresh.xyz", "cur.ao");
  EXPECT_TRUE(r.status.ok());
  EXPECT_EQ(r.file_name, "fresh.ao");
  EXPECT_EQ(ReadFile("fresh.ao"), "* mine\n90 8\n");
  AspectTable t = LoadAspectTable("fresh", true);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].angle, 90.0f);

  // A current block without a text file: the copy comes from the default block.
  ASSERT_TRUE(NewBlock("other", "lost.ao").status.ok());
  EXPECT_EQ(ReadFile("other.ao"), "60 6\n");
}

TEST_F(OrbBlockTest, NewBlockNameIsCutAtFortyCharacters) {
  std::string long_name(45, 'n');
  NewBlockResult r = NewBlock(long_name, "0");
  ASSERT_TRUE(r.status.ok());
  EXPECT_EQ(r.file_name, std::string(40, 'n') + ".ao");
  EXPECT_EQ(ReadFile(r.file_name), "");
}

TEST_F(OrbBlockTest, DeletingTheCurrentBlockFallsBackToTheDefault) {
  WriteFile("0.ao", "60 6\n");
  WriteFile("cur.ao", "90 8\n");
  ASSERT_EQ(LoadAspectTable("cur", false)[0].angle, 90.0f);
  EXPECT_TRUE(DeleteBlock("cur.ao").ok());
  EXPECT_FALSE(std::filesystem::exists("cur.ao"));
  EXPECT_TRUE(std::filesystem::exists("cur.aoj"));
  AspectTable t = LoadAspectTable("cur", false);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].angle, 60.0f);
  EXPECT_EQ(DeleteBlock("cur.ao").code(), StatusCode::kIoError);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0], "cannot delete cur.ao");
}

TEST(CurrentBlock, SettingKeepsAtMost78Characters) {
  EXPECT_EQ(CurrentBlockSetting("mine.ao"), "mine.ao");
  EXPECT_EQ(CurrentBlockSetting(std::string(90, 'x')).size(), 78u);
}

TEST_F(OrbBlockTest, DefaultBlockOfTheInstallation) {
  std::filesystem::copy_file(std::string(KV_TEST_DATA) + "/0.ao", "0.ao");
  AspectTable t = LoadAspectTable("", false);
  ASSERT_EQ(t.size(), 11u);
  std::vector<float> angles;
  for (const AspectRecord& r : t) angles.push_back(r.angle);
  EXPECT_EQ(angles, (std::vector<float>{0, 180, 120, 90, 60, 30, 150, 45, 135, 72, 144}));
  for (const AspectRecord& r : t) {
    EXPECT_GE(r.Orb(1), r.Orb(10)) << r.angle;  // the lights wider than Pluto
    EXPECT_LE(r.Orb(17), r.Orb(1)) << r.angle;  // cusps narrow
    EXPECT_EQ(r.colour, -1);
  }
  // No two aspects overlap for the widest pair of orbs, so the order never hides one.
  for (size_t i = 0; i < t.size(); ++i)
    for (size_t j = 0; j < t.size(); ++j)
      if (i != j) {
        EXPECT_GT(std::fabs(t[i].angle - t[j].angle), t[i].Orb(1) + t[j].Orb(1))
            << t[i].angle << " " << t[j].angle;
      }
}

}  // namespace
}  // namespace kv
