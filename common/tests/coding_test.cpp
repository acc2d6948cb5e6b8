// The byte order of the stored formats, checked against bytes written out by hand.
#include "common/coding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace kv {
namespace {

TEST(Coding, SixteenBitFieldsAreLowByteFirst) {
  const uint8_t bytes[] = {0x34, 0x12, 0xFE, 0xFF, 0x00, 0x80};
  EXPECT_EQ(DecodeFixed16(bytes), 0x1234);
  EXPECT_EQ(DecodeFixed16(bytes + 2), 0xFFFE);
  EXPECT_EQ(DecodeInt16(bytes + 2), -2);  // the same bytes read as a signed field
  EXPECT_EQ(DecodeInt16(bytes + 4), -32768);

  uint8_t out[2] = {0, 0};
  EncodeInt16(out, -1);  // an absent entry of the key index
  EXPECT_EQ(out[0], 0xFF);
  EXPECT_EQ(out[1], 0xFF);
  EncodeFixed16(out, 2033);  // "F1 07", the free count of a fresh leaf with one key
  EXPECT_EQ(out[0], 0xF1);
  EXPECT_EQ(out[1], 0x07);

  std::string appended = "x";
  PutFixed16(&appended, 0x0102);
  EXPECT_EQ(appended, std::string("x\x02\x01", 3));
}

TEST(Coding, ThirtyTwoBitFieldsAndFloats) {
  const uint8_t bytes[] = {0x78, 0x56, 0x34, 0x12, 0x00, 0x00, 0x80, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(DecodeFixed32(bytes), 0x12345678u);
  EXPECT_EQ(DecodeFloat32(bytes + 4), 1.0f);
  EXPECT_EQ(DecodeInt32(bytes + 8), -1);

  uint8_t out[4] = {};
  EncodeFixed32(out, 0x00FF8040u);  // a colour 0x00BBGGRR: red 0x40 comes first
  EXPECT_EQ(out[0], 0x40);
  EXPECT_EQ(out[1], 0x80);
  EXPECT_EQ(out[2], 0xFF);
  EXPECT_EQ(out[3], 0x00);
  EncodeFloat32(out, -2.5f);  // 0xC0200000
  EXPECT_EQ(out[0], 0x00);
  EXPECT_EQ(out[1], 0x00);
  EXPECT_EQ(out[2], 0x20);
  EXPECT_EQ(out[3], 0xC0);
}

TEST(Coding, NumbersOfAnyWidthInEitherOrder) {
  // Three-byte file positions of the ephemeris segment indexes.
  const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x80, 0, 0, 0, 0xFF};
  EXPECT_EQ(DecodeUnsigned(bytes, 3), 0x030201u);
  EXPECT_EQ(DecodeUnsigned(bytes, 3, false), 0x010203u);
  EXPECT_EQ(DecodeUnsigned(bytes + 3, 1), 0x80u);  // zero-extended, not sign-extended
  EXPECT_EQ(DecodeUnsigned(bytes, 8), 0xFF00000080030201ull);
  EXPECT_EQ(DecodeUnsigned(bytes, 8, false), 0x01020380000000FFull);
}

}  // namespace
}  // namespace kv
