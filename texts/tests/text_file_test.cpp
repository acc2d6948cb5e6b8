#include "texts/text_file.h"

#include "texts/tests/test_files.h"

namespace kv::test {
namespace {

const std::vector<std::string> kTrailed = {"text@@trailer", "", "  indented@@", "@@all hidden",
                                           "plain"};

TEST(TextFile, DoubleAtTrailersAreCutEverywhere) {
  EXPECT_EQ(DisplayPart("text@@more@@"), "text");
  EXPECT_EQ(DisplayPart("a@b"), "a@b");
  EXPECT_EQ(ClipboardText(kTrailed), "text\r\n\r\n  indented\r\n\r\nplain\r\n");
  EXPECT_EQ(ExportText(kTrailed), "text\n\n  indented\n\nplain\n");
  EXPECT_EQ(EditorCopyText(kTrailed, false), "text \n \n  indented \n \nplain \n");
  TextExtent e = MeasureText({"short@@" + std::string(100, 'x'), std::string(15, 'y')});
  EXPECT_EQ(e.lines, 2u);
  EXPECT_EQ(e.columns, 25u);
  EXPECT_EQ(MeasureText({"ab"}).columns, 20u);
}

TEST(TextFile, WordProcessorFormRunsAParagraphTogether) {
  // A line feed before each empty or blank-led line, none after any line.
  EXPECT_EQ(EditorCopyText(kTrailed, true), "text \n \n  indented \n plain ");
}

TEST(TextFile, WordProcessorIsRecognisedByFileNameInAnyCaseAndFolder) {
  EXPECT_TRUE(IsWordProcessor("C:\\Program Files\\Office\\WINWORD.EXE"));
  EXPECT_TRUE(IsWordProcessor("/opt/office/WinWord.exe"));
  EXPECT_TRUE(IsWordProcessor("winword.exe"));
  EXPECT_FALSE(IsWordProcessor("C:\\tools\\notepad.exe"));
  EXPECT_FALSE(IsWordProcessor("C:\\tools\\mywinword.exe"));
  EXPECT_FALSE(IsWordProcessor("C:\\winword.exe\\edit.exe"));
  EXPECT_FALSE(IsWordProcessor("winword.exe.lnk"));
}

TEST(TextFile, EditorCopyReplacesEverythingAfterTheFirstDot) {
  EXPECT_EQ(EditorCopyPath("kvt0001.tmp"), std::filesystem::path("kvt0001.txt"));
  EXPECT_EQ(EditorCopyPath("work.d/a.b.c"), std::filesystem::path("work.d/a.txt"));
  EXPECT_EQ(EditorCopyPath("noext"), std::filesystem::path("noext.txt"));
}

TEST(PrintLayout, LineHeightAndMarginsFollowThePage) {
  PrintLayout a4 = ComputePrintLayout(4960, 7016);  // A4 at 600 dpi
  EXPECT_EQ(a4.font_height, 96);
  EXPECT_EQ(a4.font_width, 44);
  EXPECT_EQ(a4.x, 132);
  EXPECT_EQ(a4.lines_per_page, 73);  // the last from 6912 to 7008; one from 7008 would run off
  PrintLayout exact = ComputePrintLayout(2000, 2900);
  EXPECT_EQ(exact.font_height, 40);
  EXPECT_EQ(exact.lines_per_page, 72);  // 0 .. 2840; the line at 2880 would end at 2920
  EXPECT_EQ(PageStarts(150, exact), (std::vector<size_t>{0, 72, 144}));
  EXPECT_EQ(PageStarts(144, exact), (std::vector<size_t>{0, 72}));
  EXPECT_EQ(PageStarts(0, exact), (std::vector<size_t>{0}));
}

TEST(PrintLayout, APageTooSmallForTheFormulaStillEnds) {
  PrintLayout tiny = ComputePrintLayout(10, 50);  // 50 * 40 / 2900 = 0
  EXPECT_EQ(tiny.font_height, 1);
  EXPECT_EQ(tiny.lines_per_page, 50);
  EXPECT_EQ(PageStarts(120, tiny).size(), 3u);
}

using ShownFile = TextsTest;

TEST_F(ShownFile, LinesComeBackWithoutLineEnds) {
  WriteBytes("a.tmp", "one\r\ntwo\n\nlast");
  EXPECT_EQ(ReadShownFile(dir_ / "a.tmp"), (std::vector<std::string>{"one", "two", "", "last"}));
  EXPECT_FALSE(ReadShownFile(dir_ / "none.tmp"));
  EXPECT_EQ(Shown().size(), 1u);
}

}  // namespace
}  // namespace kv::test
