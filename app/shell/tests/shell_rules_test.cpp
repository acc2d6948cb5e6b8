#include "app/shell/shell_rules.h"

#include <gtest/gtest.h>

#include <set>

#include "common/codepage.h"

namespace kv {
namespace {

TEST(ShellRules, FrameLeavesTwentyFivePixels) {
  FrameRect r = FrameGeometry(1024, 768);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.width, 1024);
  EXPECT_EQ(r.height, 743);
  EXPECT_EQ(FrameGeometry(800, 600).height, 575);
}

// Under a window manager the title bar and borders belong to the frame: the client
// area shrinks by them, so the title bar is not pushed above the screen.
TEST(ShellRules, ClientAreaLeavesRoomForTheDecorations) {
  const FrameRect outer = FrameGeometry(1280, 1024);
  const FrameRect c = ClientRect(outer, FrameMargins{4, 27, 4, 4});
  EXPECT_EQ(c.x, 4);
  EXPECT_EQ(c.y, 27);
  EXPECT_EQ(c.width, 1272);
  EXPECT_EQ(c.height, 999 - 31);
  const FrameRect bare = ClientRect(outer, FrameMargins{});
  EXPECT_EQ(bare.y, 0);
  EXPECT_EQ(bare.height, 999);
  const FrameRect tiny = ClientRect(FrameRect{0, 0, 10, 10}, FrameMargins{8, 30, 8, 8});
  EXPECT_EQ(tiny.width, 1);
  EXPECT_EQ(tiny.height, 1);
}

TEST(ShellRules, StartupPictureByScreenWidth) {
  TextList items(std::vector<std::string>{"1024:big.bmp", "800:small.bmp"});
  std::set<std::string> present = {"big.bmp", "small.bmp"};
  auto exists = [&](const std::string& f) { return present.count(f) > 0; };
  EXPECT_EQ(ChooseStartupPicture(items, 1024, exists), "big.bmp");
  EXPECT_EQ(ChooseStartupPicture(items, 800, exists), "small.bmp");
  EXPECT_EQ(ChooseStartupPicture(items, 1280, exists), "kvima.bmp");
  EXPECT_EQ(ChooseStartupPicture(items, 1030, exists), "big.bmp");  // within 1 %
  EXPECT_EQ(ChooseStartupPicture(items, 1040, exists), "kvima.bmp");
  present.erase("big.bmp");
  EXPECT_EQ(ChooseStartupPicture(items, 1024, exists), "kvima.bmp");
  TextList too_long(std::vector<std::string>{"1024:a_very_long_picture_name.bmp"});
  EXPECT_EQ(ChooseStartupPicture(too_long, 1024, [](const std::string&) { return true; }),
            "kvima.bmp");
}

TEST(ShellRules, MenuEntriesWithSeparatorsAndSubmenus) {
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
