#include "common/text_resources.h"

#include <gtest/gtest.h>

#include "common/codepage.h"
#include "common/menu_entry.h"

namespace kv {
namespace {

TextResources Load(const std::string& utf8) {
  TextResources r;
  r.LoadText(Utf8ToCp866(utf8));
  return r;
}

TEST(TextResources, MissingKeysAndFilesReturnTheKey) {
  TextResources none;
  EXPECT_EQ(none.Lookup("NoKr"), "NoKr");
  EXPECT_FALSE(none.LoadFile("/nonexistent/kvima.t"));
  EXPECT_EQ(none.Lookup("NoKr"), "NoKr");
  TextResources r = Load("Other text\n");
  EXPECT_EQ(r.Lookup("NoKr"), "NoKr");
  EXPECT_EQ(r.Lookup("has blank"), "has blank");
  EXPECT_EQ(r.Lookup(""), "");
}

TEST(TextResources, ValuesAreConvertedTo1251AndFirstKeyWins) {
  TextResources r = Load("* comment\n\nNoKr Нет открытых карт\nNoKr second\nAlone\n");
  EXPECT_EQ(Cp1251ToUtf8(r.Lookup("NoKr")), "Нет открытых карт");
  EXPECT_EQ(r.Lookup("Alone"), "");
  EXPECT_EQ(r.Lookup("nokr"), "nokr");  // case matters
}

TEST(TextResources, ContinuationLinesJoinWithoutTheAt) {
  TextResources r = Load("ZOD Овен/Телец/@ rest is ignored\n* dropped comment\nБлизнецы/Рак\nX y\n");
  auto list = r.LookupList("ZOD");
  ASSERT_EQ(list.Count(), 4u);
  EXPECT_EQ(Cp1251ToUtf8(list[2]), "Близнецы");
  EXPECT_EQ(r.Lookup("X"), "y");
}

TEST(TextResources, ContinuationAtTheEndOfTheFileStops) {
  TextResources r = Load("A one@\n");
  EXPECT_EQ(r.Lookup("A"), "one");
}

TEST(TextResources, ListsDropEmptyPiecesAndTrailingBlanks) {
  TextResources r = Load("L a//b/ c /  \n");
  auto list = r.LookupList("L");
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(list[1], "b");
  EXPECT_EQ(list[2], " c ");
}

TEST(TextResources, IndexedItemsByMarkerThenByPosition) {
  TextResources r = Load("HOUS Плацидус[1]/Коха[2]/Равнодомная[3]\nINTER kvinat.csr/zdp.csr\n");
  EXPECT_EQ(Cp1251ToUtf8(r.LookupIndexed(2, "HOUS")), "Коха");
  EXPECT_EQ(Cp1251ToUtf8(r.LookupIndexed(0, "HOUS")), "Плацидус[1]");  // position 0
  EXPECT_EQ(r.LookupIndexed(9, "HOUS"), "");
  EXPECT_EQ(r.LookupIndexed(0, "INTER"), "kvinat.csr");
  EXPECT_EQ(r.LookupIndexed(-1, "INTER"), "");
  std::string long_item(100, 'x');
  TextResources big = Load("B " + long_item + "[1]\n");
  EXPECT_EQ(big.LookupIndexed(1, "B").size(), kMaxIndexedItem);
}

TEST(TextResources, CutEntriesAndGarbageNeverBreakTheLoad) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131) % 256);
  TextResources r;
  r.LoadText(garbage);
  EXPECT_TRUE(r.Loaded());
  EXPECT_EQ(r.Lookup("NoKr"), "NoKr");
}

TEST(MenuEntry, MenuEntriesWithSeparatorsAndSubmenus) {
  TextResources res;
  res.LoadText(Utf8ToCp866(
      "K0t1 Печать[2100]/разделитель/Ноль[0]/Ещё[SUB=K0sub]/Копировать[2102]\n"
      "K0sub Первый[11]/Второй[12]\n"
      "Loop Сам[SUB=Loop]\n"));
  auto items = ReadMenuEntry(res, "K0t1.extra");
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].kind, MenuItem::Kind::kCommand);
  EXPECT_EQ(items[0].id, 2100);
  EXPECT_EQ(Cp1251ToUtf8(items[0].text), "Печать");
  EXPECT_EQ(items[1].kind, MenuItem::Kind::kSeparator);
  EXPECT_EQ(items[2].kind, MenuItem::Kind::kSeparator);
  ASSERT_EQ(items[3].kind, MenuItem::Kind::kSubmenu);
  ASSERT_EQ(items[3].items.size(), 2u);
  EXPECT_EQ(items[3].items[1].id, 12);
  EXPECT_EQ(items[4].id, 2102);
  auto loop = ReadMenuEntry(res, "Loop");  // names itself: stops, does not hang
  ASSERT_EQ(loop.size(), 1u);
  EXPECT_TRUE(ReadMenuEntry(res, "Missing").size() == 1);  // the key itself: a separator
}

}  // namespace
}  // namespace kv
