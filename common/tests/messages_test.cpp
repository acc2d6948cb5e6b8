#include "common/messages.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "common/journal.h"
#include "common/tests/russian_locale.h"

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
    // A journal of each run's own: ctest runs the tests of this program side by side in
    // one folder, each test alone and all of them once more in the Russian locale.
    path_ = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "." +
            std::to_string(getpid()) + ".jur";
    std::remove(path_.c_str());
    SetJournalPath(path_);
    StartJournalRun();
    old_ = SetMessageSink({&Capture, &Capture});
  }
  void TearDown() override {
    SetMessageSink(old_);
    SetTextLookup(nullptr);
    SetJournalPath(kJournalFile);
    std::remove(path_.c_str());
  }
  std::string path_;
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

TEST_F(MessagesTest, HeldEntriesWaitAndGetTheRunsSeparatorOnlyOnce) {
  // A batch worker: entries kept back, written later in the order of its lines.
  HoldJournalEntries(true);
  Warning("kept one");
  Warning("kept two");
  EXPECT_FALSE(std::ifstream(path_).good());
  const std::string held = TakeHeldJournalEntries();
  EXPECT_EQ(held, "kept one\nkept two\n");
  EXPECT_EQ(TakeHeldJournalEntries(), "");
  HoldJournalEntries(false);
  EXPECT_FALSE(JournalRunHasEntry());
  AppendJournalEntries(held);
  EXPECT_TRUE(JournalRunHasEntry());
  AppendJournalEntries("from another worker\n");
  EXPECT_EQ(ReadAll(path_), "*****\nkept one\nkept two\nfrom another worker\n");
  // The state passed on from another process that wrote the run's first entry.
  StartJournalRun();
  SetJournalRunHasEntry(true);
  Warning("same run");
  EXPECT_EQ(ReadAll(path_), "*****\nkept one\nkept two\nfrom another worker\nsame run\n");
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

// Message texts come from kvima.t, a file users edit; a text whose conversions do not
// fit the caller's arguments is shown as it stands, never handed to printf.
TEST_F(MessagesTest, FormatThatDoesNotFitIsShownUnfilledWithItsKey) {
  SetTextLookup([](std::string_view key) {
    if (key == "DEp") return std::string("Date %s%s%s%s%s%s%s%s out of range");
    if (key == "NoF%s") return std::string("font %d missing");
    return std::string(key);
  });
  WarningFormat("DEp", "01.01.2500 12:00:00");
  EXPECT_EQ(g_shown, "Date %s%s%s%s%s%s%s%s out of range [DEp]: 01.01.2500 12:00:00");
  WarningFormat("NoF%s", "atm.ttf");
  EXPECT_EQ(g_shown, "font %d missing [NoF%s]: atm.ttf");
  // A key without an entry is its own text: "F%is" would print a pointer as an int.
  WarningFormat("F%is", "cards.btr");
  EXPECT_EQ(g_shown, "F%is: cards.btr");
  WarningFormat("RE%I%", "a.tmp", "b.tmp");
  EXPECT_EQ(g_shown, "RE%I%: a.tmp, b.tmp");
  EXPECT_EQ(ReadAll(path_), "*****\n" + std::string("Date %s%s%s%s%s%s%s%s out of range [DEp]: ") +
                                "01.01.2500 12:00:00\nfont %d missing [NoF%s]: atm.ttf\n"
                                "F%is: cards.btr\nRE%I%: a.tmp, b.tmp\n");
}

TEST_F(MessagesTest, FittingFormatsAreFilledWithoutTheLocale) {
  SetTextLookup([](std::string_view key) {
    return key == "Orb" ? std::string("orb %.2f of %d aspects in %s") : std::string(key);
  });
  testing::RussianLocale ru;
  ASSERT_EQ(ru.error(), "");
  EXPECT_EQ(FormatKey("Orb", 2.5, 3, "0.ao"), "orb 2.50 of 3 aspects in 0.ao");
  EXPECT_EQ(FormatMessage("%.8f|%5.1f|%d", 55.45, -3.25, 7), "55.45000000| -3.2|7");
  WarningPrintf("x0=%.5f", 0.125);
  EXPECT_EQ(g_shown, "x0=0.12500");
}

// The program's ender decides how the run ends; a test ender leaves with the status.
void LeaveWithStatus(int status) { std::_Exit(status); }

TEST_F(MessagesTest, FatalShowsTheTextAndEndsThroughTheProgramWithStatusOne) {
  EXPECT_EXIT(
      {
        SetMessageSink({nullptr, [](const std::string& text) { std::fputs(text.c_str(), stderr); }});
        SetRunEnder(&LeaveWithStatus);
        Fatal("broken");
      },
      ::testing::ExitedWithCode(1), "broken");
  EXPECT_EXIT(
      {
        SetRunEnder(&LeaveWithStatus);
        EndRun(0);  // "Завершить" at a missing ephemeris file ends the run with 0
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(MessagesTest, WithoutTheProgramsEnderTheRunAborts) {
  EXPECT_DEATH(
      {
        SetRunEnder(nullptr);
        Fatal("broken");
      },
      "");
}

}  // namespace
}  // namespace kv
