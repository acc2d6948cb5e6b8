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

}  // namespace
}  // namespace kv
