#include "texts/text_layout.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using Lines = std::vector<std::string>;

std::string Plain(const Lines& t, bool justify) {
  std::string out;
  PrintPlain(t, justify, out);
  return out;
}
std::string Flowing(const Lines& t, bool justify, int width) {
  std::string out;
  PrintFlowing(t, justify, width, out);
  return out;
}

TEST(Justify, SpreadsTheMissingBlanksFromTheLeft) {
  // 3 blanks, 4 missing: each one more, the first one more again.
  EXPECT_EQ(JustifyLine("a b c d", 11), "a   b  c  d");
  EXPECT_EQ(JustifyLine("  ab cd", 10), "  ab    cd");  // leading blanks are kept, not spread
  EXPECT_EQ(JustifyLine("a  b", 6), "a    b");        // every blank of a run counts
  EXPECT_EQ(JustifyLine("word", 10), "word");         // no blank to widen
  EXPECT_EQ(JustifyLine("   ", 10), "   ");
  EXPECT_EQ(JustifyLine("abc abc", 7), "abc abc");
  EXPECT_EQ(JustifyLine("abcd efgh", 7), "abcd efgh");  // already longer
}

TEST(Flowing, WidthSevenKeepsAFullLineAndPutsTheRestOnItsOwn) {
  EXPECT_EQ(Flowing({"abc abc", "abc"}, true, 7), "abc abc\nabc\n\n");
}

TEST(Flowing, AWordLongerThanTheWidthIsCutUnjustified) {
  EXPECT_EQ(Flowing({"abcdefghij kl"}, true, 7), "abcdefg\nhij kl\n\n");
  EXPECT_EQ(Flowing({"x abcdefghijklmno"}, true, 5), "x\nabcde\nfghij\nklmno\n\n");
}

TEST(Flowing, BrokenLinesAreJustifiedToTheWidthAndTheLastIsLeftAsItIs) {
  std::string out = Flowing({"one two three four", "five six seven"}, true, 12);
  EXPECT_EQ(out, "one      two\nthree   four\nfive     six\nseven\n\n");
}

TEST(Flowing, BlankLedAndEmptyLinesStartParagraphsHiddenLinesEndThem) {
  Lines text = {"aa bb", "cc", " dd ee", "=hidden", "ff", "#note", "gg", "", "hh"};
  // " dd ee" opens a paragraph with its blank; "=..." and "#..." end one and vanish;
  // the empty line opens one that joins it to the next line.
  EXPECT_EQ(Flowing(text, true, 20), "aa bb cc\n dd ee\nff\ngg\n hh\n\n");
}

TEST(Flowing, WithoutJustificationLinesStayAsTheyAreLessHiddenOnes) {
  EXPECT_EQ(Flowing({"a  b", "#c", "=d", " e", ""}, false, 3), "a  b\n e\n\n");
}

TEST(Styles, TrailingEmptyLinesGiveWayToExactlyOneEmptyLine) {
  Lines text = {"text", "", "   ", "\t"};
  EXPECT_EQ(Plain(text, false), "text\n\n");
  EXPECT_EQ(Plain(text, true), "text\n\n");
  EXPECT_EQ(Flowing(text, true, 72), "text\n\n");
  EXPECT_EQ(Flowing(text, false, 72), "text\n\n");
}

TEST(Styles, AnEmptyTextPrintsNothingAnAllBlankOneOneEmptyLine) {
  EXPECT_EQ(Plain({}, true), "");
  EXPECT_EQ(Flowing({}, true, 72), "");
  EXPECT_EQ(Plain({"", "  "}, true), "\n");
  EXPECT_EQ(Flowing({"", "  "}, true, 72), "\n");
}

TEST(Plain, JustifiesToSeventyTwoOnlyLinesFollowedByAWordLine) {
  Lines text = {"first line of a paragraph", "goes on here", " indented next", "#note",
                "=hidden", "last"};
  std::string out = Plain(text, true);
  std::vector<std::string> lines;
  size_t s = 0;
  for (size_t nl; (nl = out.find('\n', s)) != std::string::npos; s = nl + 1)
    lines.push_back(out.substr(s, nl - s));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].size(), 72u);  // followed by "goes on here"
  EXPECT_EQ(lines[0].substr(0, 5), "first");
  EXPECT_EQ(lines[1], "goes on here");       // followed by a blank-led line
  EXPECT_EQ(lines[2].size(), 72u);           // followed by "#note", which starts with a non-blank
  EXPECT_EQ(lines[3], "last");               // the last line
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(Plain(text, false), "first line of a paragraph\ngoes on here\n indented next\nlast\n\n");
}

TEST(Flowing, AWidthBelowOneFallsBackToTheDefault) {
  std::string words;
  for (int i = 0; i < 30; ++i) words += "word ";
  std::string out = Flowing({words}, true, 0);
  EXPECT_EQ(out.find('\n'), static_cast<size_t>(kDefaultFlowWidth));
}

}  // namespace
}  // namespace kv
