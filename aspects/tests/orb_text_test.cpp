#include "aspects/orb_text.h"

#include <gtest/gtest.h>

#include "common/tests/russian_locale.h"

namespace kv {
namespace {

AspectRecord Parse(std::string_view line) {
  auto rec = ParseOrbLine(line);
  EXPECT_TRUE(rec.has_value()) << line;
  return rec.value_or(AspectRecord{});
}

TEST(OrbLine, FullTrailerAndThreeOrbs) {
  AspectRecord r = Parse("60 6 5 4 S 0 0 -1 1");
  EXPECT_EQ(r.angle, 60.0f);
  EXPECT_EQ(r.Orb(1), 6.0f);
  EXPECT_EQ(r.Orb(2), 5.0f);
  EXPECT_EQ(r.Orb(3), 4.0f);
  for (int p = 4; p <= 28; ++p) EXPECT_EQ(r.Orb(p), 1.0f) << p;
  EXPECT_EQ(r.off, 0);
  EXPECT_EQ(r.reserved, 0);
  EXPECT_EQ(r.colour, -1);
  EXPECT_EQ(r.line_kind, 1);
}

TEST(OrbLine, WithoutTrailerTakesDefaults) {
  AspectRecord r = Parse("90 8");
  EXPECT_EQ(r.angle, 90.0f);
  EXPECT_EQ(r.Orb(1), 8.0f);
  EXPECT_EQ(r.Orb(2), 1.0f);
  EXPECT_EQ(r.off, 0);
  EXPECT_EQ(r.reserved, 0);
  EXPECT_EQ(r.colour, -1);
  EXPECT_EQ(r.line_kind, 0);
}

TEST(OrbLine, ColourIsBuiltInUnlessThreeIntegersFollow) {
  EXPECT_EQ(Parse("0 S").colour, -1);
  EXPECT_EQ(Parse("0 S 1 2").colour, -1);
  AspectRecord r = Parse("0 S 1 2 255");
  EXPECT_EQ(r.off, 1);
  EXPECT_EQ(r.reserved, 2);
  EXPECT_EQ(r.colour, 255);
  EXPECT_EQ(r.line_kind, 0);
  // Reading stops at the first word that is not an integer, as a scanf would.
  AspectRecord s = Parse("0 S 1 x 7 7");
  EXPECT_EQ(s.off, 1);
  EXPECT_EQ(s.colour, -1);
  EXPECT_EQ(s.line_kind, 0);
}

TEST(OrbLine, TrailerIsCutAtTheFirstCapitalS) {
  AspectRecord r = Parse("120 3 s 4 S 1 0 16711680 3 S 0");
  EXPECT_EQ(r.Orb(1), 3.0f);
  EXPECT_EQ(r.Orb(2), 0.0f);  // "s" is no number
  EXPECT_EQ(r.Orb(3), 4.0f);
  EXPECT_EQ(r.off, 1);
  EXPECT_EQ(r.colour, 16711680);
  EXPECT_EQ(r.line_kind, 3);
}

TEST(OrbLine, CuspsSevenToTwelveCopyTheOppositeCusp) {
  // 23 orbs: objects 1..23 from the line, 24..28 from 18..22.
  std::string line = "180";
  for (int p = 1; p <= 23; ++p) line += " " + std::to_string(p + 100);
  AspectRecord r = Parse(line);
  for (int p = 1; p <= 23; ++p) EXPECT_EQ(r.Orb(p), p + 100.0f) << p;
  for (int p = 24; p <= 28; ++p) EXPECT_EQ(r.Orb(p), r.Orb(p - 6)) << p;
  EXPECT_EQ(r.Orb(28), 122.0f);

  // Given 17 only: 23 copies the given 17, 24..28 the defaulted 1.0.
  std::string seventeen = "30";
  for (int p = 1; p <= 17; ++p) seventeen += " 2.5";
  AspectRecord s = Parse(seventeen);
  EXPECT_EQ(s.Orb(23), 2.5f);
  EXPECT_EQ(s.Orb(24), 1.0f);
}

TEST(OrbLine, NumbersAfterTheTwentyEighthOrbAreIgnored) {
  std::string line = "45";
  for (int p = 1; p <= 30; ++p) line += " " + std::to_string(p);
  AspectRecord r = Parse(line + " S 0 0 -1 2");
  EXPECT_EQ(r.Orb(28), 28.0f);
  EXPECT_EQ(r.line_kind, 2);
}

TEST(OrbLine, SkippedLines) {
  EXPECT_FALSE(ParseOrbLine(""));
  EXPECT_FALSE(ParseOrbLine("   \t "));
  EXPECT_FALSE(ParseOrbLine("*60 6"));
  EXPECT_FALSE(ParseOrbLine("* 60 6"));
  EXPECT_FALSE(ParseOrbLine(std::string_view("\x01" "60\x01" "6", 5)));
  EXPECT_FALSE(ParseOrbLine("\r"));
  // A blank before the asterisk makes it a line: "*60" does not read, so angle 0.
  AspectRecord r = Parse(" *60 6");
  EXPECT_EQ(r.angle, 0.0f);
  EXPECT_EQ(r.Orb(1), 6.0f);
}

TEST(OrbLine, ControlByteSeparatesWhenPresent) {
  AspectRecord r = Parse("72\x01" "2 5\x01" "3\x01\x01" "4 S 0 0 -1 1");
  EXPECT_EQ(r.angle, 72.0f);
  EXPECT_EQ(r.Orb(1), 2.0f);  // "2 5" reads as its leading number
  EXPECT_EQ(r.Orb(2), 3.0f);
  EXPECT_EQ(r.Orb(3), 4.0f);  // an empty part between two separators is no number
  EXPECT_EQ(r.Orb(4), 1.0f);
}

TEST(OrbLine, TabsCarriageReturnAndUnreadableNumbers) {
  AspectRecord r = Parse("150\t1.25\tabc\t-2\t1e1 nan 0x10 inf\r");
  EXPECT_EQ(r.angle, 150.0f);
  EXPECT_EQ(r.Orb(1), 1.25f);
  EXPECT_EQ(r.Orb(2), 0.0f);
  EXPECT_EQ(r.Orb(3), -2.0f);
  EXPECT_EQ(r.Orb(4), 10.0f);
  EXPECT_EQ(r.Orb(5), 0.0f);  // no NaN can enter a block
  EXPECT_EQ(r.Orb(6), 0.0f);  // "0x10" reads as its leading 0
  EXPECT_EQ(r.Orb(7), 0.0f);
  EXPECT_EQ(r.line_kind, 0);
  EXPECT_EQ(Parse("1e60 3").angle, 0.0f);  // beyond a float
}

TEST(OrbLine, WriterFormat) {
  AspectRecord r;
  r.angle = 72.0f;
  r.orbs.fill(2.0f);
  r.orbs[0] = 12.5f;
  r.orbs[21] = 9.0f;  // orb 22 is never written
  r.off = 1;
  r.colour = 65280;
  r.line_kind = 3;
  std::string expected = " 72.000 12.500";
  for (int i = 2; i <= 21; ++i) expected += "  2.000";
  expected += " S 1 0 65280 3\n";
  EXPECT_EQ(FormatOrbLine(r), expected);
}

TEST(OrbLine, WriterIgnoresTheLocale) {
  // The GUI runs under the user's locale; a comma would make "60,500" read as 60.
  testing::RussianLocale ru;
  ASSERT_EQ(ru.error(), "");
  AspectRecord r;
  r.angle = 60.5f;
  r.orbs[0] = 7.25f;
  std::string line = FormatOrbLine(r);
  AspectRecord back = Parse(line);
  EXPECT_EQ(line.substr(0, 14), " 60.500  7.250");
  EXPECT_EQ(back.angle, 60.5f);
  EXPECT_EQ(back.Orb(1), 7.25f);
  EXPECT_EQ(Parse("120.75 2.5 S 0 0 -1 1").angle, 120.75f);
}

TEST(OrbText, WholeTextKeepsLineOrderAndSkipsComments) {
  AspectTable t = ParseOrbText("* block\n\n90 8\n 60 6 5\x01" "4\n*x\n0 S 1 0 -1 1");
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].angle, 90.0f);
  EXPECT_EQ(t[1].angle, 60.0f);
  EXPECT_EQ(t[1].Orb(1), 4.0f);  // with a 0x01 present, blanks no longer separate
  EXPECT_EQ(t[2].off, 1);
}

TEST(OrbText, DosEndOfFileEndsTheText) {
  AspectTable t = ParseOrbText("90 8\r\n60 6\r\n\x1a");
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[1].angle, 60.0f);
  EXPECT_EQ(ParseOrbText("90 8\n\x1a" "120 5\n").size(), 1u);
}

TEST(OrbText, WriteAndReadBackKeepsOrbsOneToTwentyOne) {
  AspectTable t(2);
  for (int i = 0; i < 28; ++i) t[0].orbs[i] = 0.25f * (i + 1);
  t[0].angle = 144.0f;
  t[1].angle = 60.5f;
  t[1].off = 1;
  t[1].reserved = 7;
  t[1].colour = 0x123456;
  t[1].line_kind = 4;
  AspectTable back = ParseOrbText(FormatOrbText(t));
  ASSERT_EQ(back.size(), 2u);
  for (int p = 1; p <= 21; ++p) EXPECT_EQ(back[0].Orb(p), t[0].Orb(p)) << p;
  EXPECT_EQ(back[0].Orb(22), 1.0f);
  for (int p = 23; p <= 28; ++p) EXPECT_EQ(back[0].Orb(p), back[0].Orb(p - 6)) << p;
  EXPECT_EQ(back[1].angle, 60.5f);
  EXPECT_EQ(back[1].off, 1);
  EXPECT_EQ(back[1].reserved, 7);
  EXPECT_EQ(back[1].colour, 0x123456);
  EXPECT_EQ(back[1].line_kind, 4);
}

}  // namespace
}  // namespace kv
