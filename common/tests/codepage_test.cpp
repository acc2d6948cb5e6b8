#include "common/codepage.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(CodePage, EveryByteSurvivesTheRoundTripBothWays) {
  for (int c = 0; c < 256; ++c) {
    auto b = static_cast<unsigned char>(c);
    EXPECT_EQ(Cp1251ToCp866(Cp866ToCp1251(b)), b) << c;
    EXPECT_EQ(Cp866ToCp1251(Cp1251ToCp866(b)), b) << c;
  }
}

TEST(CodePage, ConversionIsABijection) {
  bool seen[256] = {};
  for (int c = 0; c < 256; ++c) {
    unsigned char t = Cp866ToCp1251(static_cast<unsigned char>(c));
    EXPECT_FALSE(seen[t]) << "two 866 bytes map to 1251 byte " << int(t);
    seen[t] = true;
  }
}

TEST(CodePage, CyrillicLettersMapByMeaning) {
  // "А" 866 0x80 -> 1251 0xC0; "п" 0xAF -> 0xEF; "р" 0xE0 -> 0xF0; "я" 0xEF -> 0xFF
  EXPECT_EQ(Cp866ToCp1251(0x80), 0xC0);
  EXPECT_EQ(Cp866ToCp1251(0xAF), 0xEF);
  EXPECT_EQ(Cp866ToCp1251(0xE0), 0xF0);
  EXPECT_EQ(Cp866ToCp1251(0xEF), 0xFF);
  EXPECT_EQ(Cp866ToCp1251(0xF0), 0xA8);  // Ё
  EXPECT_EQ(Cp866ToCp1251(0xF1), 0xB8);  // ё
  EXPECT_EQ(Cp866ToCp1251(0xFC), 0xB9);  // №
  for (int c = 0; c < 128; ++c) EXPECT_EQ(Cp866ToCp1251(static_cast<unsigned char>(c)), c);
}

TEST(CodePage, Utf8RoundTripOfRussianText) {
  const std::string utf8 = "Закончить Работу? Ёлка №5 «ок»";
  EXPECT_EQ(Cp1251ToUtf8(Utf8ToCp1251(utf8)), utf8);
  std::string cp1251 = Utf8ToCp1251("Луна");
  ASSERT_EQ(cp1251.size(), 4u);
  EXPECT_EQ(static_cast<unsigned char>(cp1251[0]), 0xCB);
  EXPECT_EQ(Cp866ToUtf8(Cp1251ToCp866(cp1251)), "Луна");
}

TEST(CodePage, Utf8WithoutAnEquivalentBecomesQuestionMark) {
  EXPECT_EQ(Utf8ToCp1251("a\xE2\x98\x89z"), "a?z");  // ☉ is not in 1251
  EXPECT_EQ(Utf8ToCp1251("\xC3"), "?");               // cut sequence
}

}  // namespace
}  // namespace kv
