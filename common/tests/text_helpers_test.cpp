#include <gtest/gtest.h>

#include "common/case_map.h"
#include "common/tests/russian_locale.h"
#include "common/key_value_lists.h"
#include "common/text_list.h"
#include "common/tokens.h"

namespace kv {
namespace {

using Parts = std::vector<std::string>;

TEST(Split, SkipsEmptyPartsAndTrailingBlanks) {
  EXPECT_EQ(Split("1.2.", '.'), (Parts{"1", "2"}));
  EXPECT_EQ(Split("a//b/ c  ", '/'), (Parts{"a", "b", " c"}));
  EXPECT_EQ(Split("a/   ", '/'), (Parts{"a"}));
  EXPECT_EQ(Split("", '/'), Parts{});
  EXPECT_EQ(Split("12:30", ':'), (Parts{"12", "30"}));
}

TEST(Tokens, QuotedWordKeepsBlanksAndOpeningQuoteOnly) {
  EXPECT_EQ(Tokens("  if  \"two words\" x\t=1"),
            (Parts{"if", "\"two words", "x", "=1"}));
  EXPECT_EQ(Tokens("say \"unclosed text here"), (Parts{"say", "\"unclosed text here"}));
  EXPECT_EQ(Tokens("\t \t"), Parts{});
}

TEST(Tokens, ViewsAreTheSameWordsAndTellWhenMoreDidNotFit) {
  for (const char* text :
       {"  if  \"two words\" x\t=1", "say \"unclosed text", "\t \t", "a b c d"}) {
    std::string_view words[4];
    const size_t n = TokenViews(text, words, 4);
    const Parts all = Tokens(text);
    ASSERT_EQ(n, all.size()) << text;
    for (size_t i = 0; i < n; ++i) EXPECT_EQ(words[i], all[i]) << text;
  }
  std::string_view two[2];
  EXPECT_EQ(TokenViews("2451545.0 55.45 37.37 1 extra words", two, 2), 3u);
  EXPECT_EQ(two[0], "2451545.0");
  EXPECT_EQ(two[1], "55.45");
  EXPECT_EQ(TokenViews("x", nullptr, 0), 1u);
  EXPECT_EQ(TokenViews("", nullptr, 0), 0u);
}

TEST(KeyValue, SplitsAtTheFirstEqualsSign) {
  auto kv = KeyValue("NAME  =  Иван = Грозный");
  EXPECT_EQ(kv.key, "NAME");
  ASSERT_TRUE(kv.value);
  EXPECT_EQ(*kv.value, "Иван = Грозный");
  EXPECT_FALSE(KeyValue("no value here").value);
  EXPECT_EQ(*KeyValue("K=").value, "");
}

TEST(Numbers, LeadingNumberOrZero) {
  EXPECT_EQ(ReadInt("  -42abc"), -42);
  EXPECT_EQ(ReadInt("+7"), 7);
  EXPECT_EQ(ReadInt("abc"), 0);
  EXPECT_EQ(ReadInt(""), 0);
  EXPECT_DOUBLE_EQ(ReadDouble(" 55.45N"), 55.45);
  EXPECT_EQ(WordIndex("b", {"a", "b", "c"}), 1);
  EXPECT_EQ(WordIndex("B", {"a", "b"}), -1);
}

// Files and fields carry a decimal point; the users' locale must not cut "55.45" to 55.
TEST(Numbers, ReadDoubleIgnoresTheLocale) {
  testing::RussianLocale ru;
  ASSERT_EQ(ru.error(), "");
  EXPECT_DOUBLE_EQ(ReadDouble("55.45"), 55.45);
  EXPECT_DOUBLE_EQ(ReadDouble("-37.37 E"), -37.37);
  EXPECT_EQ(ReadDouble("55,45"), 55.0);  // a comma ends the number, as in the C locale
  int32_t values[3] = {9, 9, 9};
  ReadIntList("1 -2", values, 3);
  EXPECT_EQ(values[1], -2);
  EXPECT_EQ(values[2], 9);
}

TEST(TrimmedLength, CountsUpToTheLastNonBlank) {
  EXPECT_EQ(TrimmedLength("ab  "), 2u);
  EXPECT_EQ(TrimmedLength("    "), 0u);
  EXPECT_EQ(TrimmedLength(""), 0u);
}

TEST(CaseMap, OemLowerAndAnsiUpper) {
  EXPECT_EQ(LowerOem(static_cast<unsigned char>('Q')), 'q');
  EXPECT_EQ(LowerOem(static_cast<unsigned char>(128)), 160);  // А -> а
  EXPECT_EQ(LowerOem(static_cast<unsigned char>(144)), 224);  // Р -> р
  EXPECT_EQ(LowerOem(static_cast<unsigned char>(240)), 241);  // Ё -> ё
  EXPECT_EQ(LowerOem(static_cast<unsigned char>(160)), 160);
  std::string s = "abz\xE0\xFF\xB8{";
  UpperAnsi(s);
  EXPECT_EQ(s, "ABZ\xC0\xDF\xB8{");  // ё (0xB8) is left alone
}

TEST(KeyValueLists, WriteFormatsAndPartialReads) {
  char* buf = nullptr;
  size_t len = 0;
  std::FILE* f = open_memstream(&buf, &len);
  int32_t values[12] = {1, -2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  WriteIntList(f, "LP", values, 12);
  uint8_t bytes[11] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 255};
  WriteByteList(f, "Ov", bytes, 11);
  std::fclose(f);
  EXPECT_EQ(std::string(buf, len),
            "LP= 1 -2 3 4 5 6 7 8 9 10   11 12\nOv=0 1 2 3 4 5 6 7 8 9   255 \n");
  free(buf);

  int32_t target[4] = {9, 9, 9, 9};
  ReadIntList("5 6", target, 4);
  EXPECT_EQ(target[0], 5);
  EXPECT_EQ(target[1], 6);
  EXPECT_EQ(target[2], 9);
  uint8_t b[3] = {7, 7, 7};
  ReadByteList("257 -1", b, 3);
  EXPECT_EQ(b[0], 1);
  EXPECT_EQ(b[1], 255);
  EXPECT_EQ(b[2], 7);
}

TEST(TextList, IteratesInOrderAndCopies) {
  TextList list(2);
  std::string s = "one";
  list.Add(s);
  s = "changed";
  list.Add("two");
  list.Add("three");
  EXPECT_EQ(list.Count(), 3u);
  EXPECT_EQ(list[0], "one");
  EXPECT_EQ(list.At(7), "");
  list.Rewind();
  EXPECT_EQ(*list.Next(), "one");
  EXPECT_EQ(*list.Next(), "two");
  EXPECT_EQ(*list.Next(), "three");
  EXPECT_EQ(list.Next(), nullptr);
}

}  // namespace
}  // namespace kv
