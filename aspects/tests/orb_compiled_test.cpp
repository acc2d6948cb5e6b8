#include "aspects/orb_compiled.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kv {
namespace {

// Files are built here byte by byte from the layout, not with the encoder.
void PutFloat(std::string& s, float f) {
  uint32_t v;
  std::memcpy(&v, &f, 4);
  for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i));
}
void PutI16(std::string& s, int16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((static_cast<uint16_t>(v) >> 8) & 0xFF);
}
std::string RecordBytes(float angle, float orb_base, uint8_t off, uint8_t reserved,
                        int32_t colour, uint8_t kind) {
  std::string s;
  PutFloat(s, angle);
  for (int i = 0; i < 28; ++i) PutFloat(s, orb_base + i);
  s += static_cast<char>(off);
  s += static_cast<char>(reserved);
  for (int i = 0; i < 4; ++i) s += static_cast<char>(static_cast<uint32_t>(colour) >> (8 * i));
  s += static_cast<char>(kind);
  return s;
}

TEST(CompiledBlock, EncoderFollowsTheLayout) {
  AspectTable t(2);
  t[0].angle = 60.0f;
  for (int i = 0; i < 28; ++i) t[0].orbs[i] = 1.0f + i;
  t[0].line_kind = 2;
  t[1].angle = 72.0f;
  for (int i = 0; i < 28; ++i) t[1].orbs[i] = 5.0f + i;
  t[1].off = 1;
  t[1].reserved = 9;
  t[1].colour = 0x00ABCDEF;
  t[1].line_kind = 0;
  std::string expected;
  PutI16(expected, 2);
  expected += RecordBytes(60.0f, 1.0f, 0, 0, -1, 2);
  expected += RecordBytes(72.0f, 5.0f, 1, 9, 0x00ABCDEF, 0);
  PutFloat(expected, 60.0f);
  PutFloat(expected, 72.0f);
  EXPECT_EQ(EncodeCompiledBlock(t), expected);
  EXPECT_EQ(expected.size(), 2u + 2 * 123 + 2 * 4);
}

TEST(CompiledBlock, DecoderDropsOddOffBytesForCalculation) {
  std::string f;
  PutI16(f, 3);
  f += RecordBytes(0.0f, 1.0f, 0, 0, -1, 1);
  f += RecordBytes(90.0f, 1.0f, 3, 0, -1, 1);  // odd: off
  f += RecordBytes(120.0f, 1.0f, 2, 0, -1, 1); // even: in use, the label still says off
  AspectTable all;
  EXPECT_TRUE(DecodeCompiledBlock(f, true, &all).ok());
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[1].off, 3);
  EXPECT_EQ(all[2].Orb(28), 28.0f);
  AspectTable used;
  EXPECT_TRUE(DecodeCompiledBlock(f, false, &used).ok());
  ASSERT_EQ(used.size(), 2u);
  EXPECT_EQ(used[0].angle, 0.0f);
  EXPECT_EQ(used[1].angle, 120.0f);
}

TEST(CompiledBlock, TrailingAnglesAreNotNeeded) {
  std::string f;
  PutI16(f, 1);
  f += RecordBytes(45.0f, 2.0f, 0, 0, 255, 1);
  AspectTable b;
  EXPECT_TRUE(DecodeCompiledBlock(f, true, &b).ok());
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(b[0].colour, 255);
}

TEST(CompiledBlock, DamagedFilesAreReportedAndNeverOverread) {
  AspectTable t;
  EXPECT_TRUE(DecodeCompiledBlock("", true, &t).IsCorruption());
  EXPECT_TRUE(DecodeCompiledBlock("\x01", true, &t).IsCorruption());

  std::string negative;
  PutI16(negative, -5);
  negative += RecordBytes(60.0f, 1.0f, 0, 0, -1, 1);
  AspectTable n = {AspectRecord{}};  // whatever was there is replaced
  EXPECT_TRUE(DecodeCompiledBlock(negative, true, &n).IsCorruption());
  EXPECT_TRUE(n.empty());

  // Count 3, two whole records and half a third: the two complete ones come back.
  std::string short_file;
  PutI16(short_file, 3);
  short_file += RecordBytes(60.0f, 1.0f, 0, 0, -1, 1);
  short_file += RecordBytes(90.0f, 1.0f, 0, 0, -1, 1);
  short_file += RecordBytes(120.0f, 1.0f, 0, 0, -1, 1).substr(0, 60);
  AspectTable s;
  const Status problem = DecodeCompiledBlock(short_file, true, &s);
  EXPECT_TRUE(problem.IsCorruption());
  EXPECT_NE(problem.message().find("3"), std::string::npos) << problem.message();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[1].angle, 90.0f);
}

}  // namespace
}  // namespace kv
