#include "common/messages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "common/journal.h"

namespace kv {
namespace {

std::string g_shown;
void Capture(const std::string& text) { g_shown = text; }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class MessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::remove(path_.c_str());
    SetJournalPath(path_);
    StartJournalRun();
    old_ = SetMessageSink({&Capture, &Capture});
  }
  void TearDown() override {
    SetMessageSink(old_);
    SetTextLookup(nullptr);
    SetJournalPath(kJournalFile);
  }
  std::string path_ = "messages_test_jur.jur";
  MessageSink old_;
};

TEST_F(MessagesTest, TwoWarningsGiveOneSeparatorAndTwoLines) {
  Warning("first");
  Warning("second");
  EXPECT_EQ(ReadAll(path_), "*****\nfirst\nsecond\n");
  StartJournalRun();  // the next run of the program
  Warning("third");
  EXPECT_EQ(ReadAll(path_), "*****\nfirst\nsecond\n*****\nthird\n");
  EXPECT_EQ(g_shown, "third");
}

TEST_F(MessagesTest, NoEntryLeavesTheJournalUntouched) {
  EXPECT_FALSE(std::ifstream(path_).good());
}

TEST_F(MessagesTest, MissingKeyIsShownUnchanged) {
  WarningKey("NoKr");
  EXPECT_EQ(g_shown, "NoKr");
  SetTextLookup([](std::string_view key) {
    return key == "NoKr" ? std::string("no chart") : std::string(key);
  });
  WarningKey("NoKr");
  EXPECT_EQ(g_shown, "no chart");
}

TEST_F(MessagesTest, FormattedMessageIsCutAt399Bytes) {
  SetTextLookup([](std::string_view key) {
    return key == "NoF%s" ? std::string("font %s missing") : std::string(key);
  });
  std::string huge(5000, 'x');
  WarningFormat("NoF%s", huge.c_str());
  EXPECT_EQ(g_shown.size(), kMaxMessageBytes - 1);
  EXPECT_EQ(g_shown.substr(0, 5), "font ");
  WarningFormat("NoF%s", "atm.ttf");
  EXPECT_EQ(g_shown, "font atm.ttf missing");
}

TEST_F(MessagesTest, FatalEndsWithStatusOne) {
  EXPECT_EXIT(Fatal("broken"), ::testing::ExitedWithCode(1), "");
}

}  // namespace
}  // namespace kv
