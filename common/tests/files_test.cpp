#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/files.h"
#include "common/lines.h"
#include "common/messages.h"

namespace kv {
namespace {
namespace fs = std::filesystem;

std::string g_last;
void Capture(const std::string& t) { g_last = t; }

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kv_files_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    old_cwd_ = fs::current_path();
    fs::current_path(dir_);
    old_sink_ = SetMessageSink({&Capture, &Capture});
    g_last.clear();
  }
  void TearDown() override {
    SetMessageSink(old_sink_);
    fs::current_path(old_cwd_);
    fs::remove_all(dir_);
  }
  void Write(const std::string& name, const std::string& body) {
    std::ofstream(name, std::ios::binary) << body;
  }
  fs::path dir_, old_cwd_;
  MessageSink old_sink_;
};

TEST_F(FilesTest, ReadLineKeepsLongLinesAndTheLastEmptyLine) {
  std::string long_line(1000, 'x');
  Write("a.txt", long_line + "\r\nsecond\n");
  FilePtr f(OpenQuietly("a.txt"));
  EXPECT_EQ(*ReadLine(f.get()), long_line);
  EXPECT_EQ(*ReadLine(f.get()), "second");
  EXPECT_EQ(*ReadLine(f.get()), "");
  EXPECT_FALSE(ReadLine(f.get()));
}

TEST_F(FilesTest, ContentLinesSkipBlanksAndComments) {
  Write("b.txt", "   \n* comment\nreal\n\t\nlast");
  FilePtr f(OpenQuietly("b.txt"));
  EXPECT_EQ(*ReadContentLine(f.get()), "real");
  EXPECT_EQ(*ReadContentLine(f.get()), "last");
  EXPECT_FALSE(ReadContentLine(f.get()));
}

TEST_F(FilesTest, SectionsByNameAmongSeveral) {
  Write("popa.ctl",
        "* time zones\n@@ Other\nno\n@@ Zones PopTime More\nline 1\n* skipped\nline 2\n"
        "@ single\n@@ Next\nafter\n");
  auto r = OpenSection("popa.ctl(PopTime)", SectionEnd::kAtDoubleAt);
  ASSERT_TRUE(r);
  EXPECT_EQ(*r->ReadLine(), "line 1");
  EXPECT_EQ(*r->ReadLine(), "line 2");
  EXPECT_EQ(*r->ReadLine(), "@ single");
  EXPECT_FALSE(r->ReadLine());

  auto single = OpenSection("popa.ctl(PopTime)", SectionEnd::kAtSingleAt);
  EXPECT_EQ(*single->ReadLine(), "line 1");
  EXPECT_EQ(*single->ReadLine(), "line 2");
  EXPECT_FALSE(single->ReadLine());

  Write("p2.ctl", "@@\tPopTime\nx\n");
  EXPECT_EQ(*OpenSection("p2.ctl(PopTime)", SectionEnd::kAtDoubleAt)->ReadLine(), "x");
  EXPECT_FALSE(OpenSection("popa.ctl(Missing)", SectionEnd::kAtDoubleAt));
  auto whole = OpenSection("popa.ctl", SectionEnd::kAtDoubleAt);
  EXPECT_EQ(*whole->ReadLine(), "@@ Other");
}

TEST_F(FilesTest, MissingSectionFileWarnsWithTheWholeName) {
  EXPECT_FALSE(OpenSectionOrWarn("none.ctl(PopTime)"));
  EXPECT_NE(g_last.find("none.ctl(PopTime)"), std::string::npos);
}

TEST_F(FilesTest, UniqueFileNameCountsUp) {
  EXPECT_EQ(UniqueFileName("rep", "tmp"), "rep0001.tmp");
  Write("rep0001.tmp", "");
  EXPECT_EQ(UniqueFileName("rep", "tmp"), "rep0002.tmp");
}

TEST_F(FilesTest, NewFileNameChecks) {
  EXPECT_EQ(CheckNewFileName("with blank").code(), StatusCode::kInvalidArgument);
  EXPECT_EQ(g_last, "SkF");
  Write("taken.ao", "");
  EXPECT_EQ(CheckNewFileName("taken.ao").code(), StatusCode::kAlreadyExists);
  EXPECT_TRUE(CheckNewFileName("free.ao").ok());
}

TEST_F(FilesTest, ListFilesMatchesPlainFilesInLowerCase) {
  Write("A.AO", "");
  Write("b.ao", "");
  Write("c.txt", "");
  fs::create_directory("d.ao");
  EXPECT_EQ(ListFiles("*.ao"), (std::vector<std::string>{"a.ao", "b.ao"}));
  EXPECT_TRUE(ListFiles("nowhere/*.ao").empty());
}

TEST_F(FilesTest, BlocksAtOffsets) {
  FilePtr f(std::fopen("blk.bin", "w+b"));
  EXPECT_TRUE(WriteBlock(f.get(), "abcdef", 6, 0).ok());
  char buf[3] = {};
  EXPECT_TRUE(ReadBlock(f.get(), buf, 3, 2).ok());
  EXPECT_EQ(std::string(buf, 3), "cde");
  EXPECT_EQ(ReadBlock(f.get(), buf, 3, 5).code(), StatusCode::kIoError);  // only one byte left
  EXPECT_EQ(DeleteFileChecked("nothing.here").code(), StatusCode::kIoError);
  EXPECT_EQ(RenameFileChecked("nothing.here", "x").code(), StatusCode::kIoError);
}

TEST_F(FilesTest, WholeFilesAreReadByteForByteWithinTheirLimit) {
  const std::string bytes = std::string("a\r\n\0\xFF", 5) + std::string(70000, 'z');
  Write("whole.bin", bytes);
  std::string text;
  ASSERT_TRUE(ReadWholeFile("whole.bin", &text).ok());
  EXPECT_EQ(text, bytes);  // past the first read of 64 KiB, line ends and zeros kept
  std::vector<uint8_t> raw;
  ASSERT_TRUE(ReadWholeFile("whole.bin", &raw, bytes.size()).ok());
  EXPECT_EQ(std::string(raw.begin(), raw.end()), bytes);
  // One byte over the limit is refused and nothing is handed back.
  EXPECT_EQ(ReadWholeFile("whole.bin", &raw, bytes.size() - 1).code(), StatusCode::kTooLarge);
  EXPECT_TRUE(raw.empty());
  Write("empty.bin", "");
  text = "old";
  ASSERT_TRUE(ReadWholeFile("empty.bin", &text).ok());
  EXPECT_TRUE(text.empty());
  EXPECT_EQ(ReadWholeFile("missing.bin", &text).code(), StatusCode::kNotFound);
  fs::create_directory("folder");
  EXPECT_FALSE(ReadWholeFile("folder", &text).ok());
  EXPECT_TRUE(g_last.empty());  // the callers choose the message
}

}  // namespace
}  // namespace kv
