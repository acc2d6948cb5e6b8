#include "texts/help_file.h"

#include "texts/tests/test_files.h"

namespace kv::test {
namespace {

using Help = TextsTest;

TEST_F(Help, TopicIsTheLinesAfterItsKeyLineUpToTheNextAtLine) {
  Write866("kvima.lrn", {"intro before any key", "@VV K0t1", "Ввод данных.", "Вторая строка.",
                         "@", "not in the topic", "@GenHelp", "Общая помощь."});
  EXPECT_EQ(FindHelpTopic(dir_, "K0t1"), Lines1251({"Ввод данных.", "Вторая строка."}));
  EXPECT_EQ(FindHelpTopic(dir_, "GenHelp"), Lines1251({"Общая помощь."}));
  EXPECT_FALSE(FindHelpTopic(dir_, "K0t"));
  EXPECT_TRUE(Shown().empty());
}

TEST_F(Help, IncludedFilesAreSearchedAfterTheMainFile) {
  Write866("kvima.lrn", {"@@second.lrn", "@A", "main A"});
  Write866("second.lrn", {"@A", "second A", "@B", "second B"});
  EXPECT_EQ(FindHelpTopic(dir_, "A"), (std::vector<std::string>{"main A"}));
  EXPECT_EQ(FindHelpTopic(dir_, "B"), (std::vector<std::string>{"second B"}));
}

TEST_F(Help, SelfIncludesAndRingsAreReadOnce) {
  Write866("kvima.lrn", {"@@kvima.lrn", "@@./b.lrn", "@A", "a"});
  Write866("b.lrn", {"@@kvima.lrn", "@@c.lrn", "@B", "b"});
  Write866("c.lrn", {"@@b.lrn", "@C", "c"});
  EXPECT_EQ(FindHelpTopic(dir_, "C"), (std::vector<std::string>{"c"}));
  EXPECT_FALSE(FindHelpTopic(dir_, "nowhere"));
  EXPECT_TRUE(Shown().empty());
}

TEST_F(Help, AMissingIncludeIsReportedAndTheOthersStillWork) {
  Write866("kvima.lrn", {"@@lost.lrn", "@@found.lrn", "@A", "a"});
  Write866("found.lrn", {"@Z", "z"});
  EXPECT_EQ(FindHelpTopic(dir_, "Z"), (std::vector<std::string>{"z"}));
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_NE(Shown()[0].find("lost.lrn"), std::string::npos);
}

TEST_F(Help, NoHelpFileAtAllGivesNoTopic) {
  EXPECT_FALSE(FindHelpTopic(dir_, "A"));
  EXPECT_EQ(Shown().size(), 1u);
}

std::vector<std::pair<HelpSpanKind, std::string>> Spans(const HelpLine& h) {
  std::vector<std::pair<HelpSpanKind, std::string>> v;
  for (const auto& s : h.spans) v.emplace_back(s.kind, s.text);
  return v;
}

TEST(HelpLinks, LinkTextIsMarkedAndRefPartHidden) {
  HelpLine h = ParseHelpLine("See <the houses ref=HD> for more");
  EXPECT_EQ(h.target, "HD");
  using K = HelpSpanKind;
  EXPECT_EQ(Spans(h), (std::vector<std::pair<K, std::string>>{
                          {K::kNormal, "See "}, {K::kLink, "the houses "}, {K::kNormal, " for more"}}));
}

TEST(HelpLinks, LessOrEqualIsNoLink) {
  HelpLine h = ParseHelpLine("if a <= b then");
  EXPECT_TRUE(h.target.empty());
  ASSERT_EQ(h.spans.size(), 1u);
  EXPECT_EQ(h.spans[0].text, "if a <= b then");
  HelpLine both = ParseHelpLine("a <= b, <here ref=X>");
  EXPECT_EQ(both.target, "X");
  ASSERT_EQ(both.spans.size(), 2u);
  EXPECT_EQ(both.spans[0].text, "a <= b, ");
  EXPECT_EQ(both.spans[1].text, "here ");
}

TEST(HelpLinks, TargetIsCutToTwelveCharactersAndAtTheBracket) {
  EXPECT_EQ(ParseHelpLine("<x ref=ABCDEFGHIJKLMNOP>").target, "ABCDEFGHIJKL");
  EXPECT_EQ(ParseHelpLine("<x ref=ABCDEFGHIJKL>").target, "ABCDEFGHIJKL");
  EXPECT_EQ(ParseHelpLine("<x ref=VV>tail").spans.back().text, "tail");
  HelpLine open = ParseHelpLine("<x ref=VV no bracket");
  EXPECT_EQ(open.target, "VV no bracke");
  EXPECT_EQ(open.spans.size(), 1u);  // the link text only; nothing follows
}

TEST(HelpLinks, TheTrailerAfterDoubleAtIsNeitherShownNorFollowed) {
  HelpLine h = ParseHelpLine("text@@<x ref=HZ>");
  EXPECT_TRUE(h.target.empty());
  ASSERT_EQ(h.spans.size(), 1u);
  EXPECT_EQ(h.spans[0].text, "text");
}

}  // namespace
}  // namespace kv::test
