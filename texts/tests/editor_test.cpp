#include "texts/entry_editor.h"

#include "texts/text_store.h"
#include "texts/tests/test_files.h"

namespace kv::test {
namespace {

class Editor : public TextsTest {
 protected:
  void SetUp() override {
    TextsTest::SetUp();
    SetTextLookup([](std::string_view key) {
      if (key == "FnoIX") return std::string("no key %s");
      if (key == "RE%I%") return std::string("cannot rename %s to %s");
      return std::string(key);
    });
    main_ = Utf8ToCp866("FILES=zdp2.csr\n@z01\nОвен.\n");
    second_ = Utf8ToCp866("@p01z05 p01z06 * Солнце\nСолнце во Льве.\n\n@p02\r\nЛуна.\nend");
    WriteBytes("zdp.csr", main_);
    WriteBytes("zdp2.csr", second_);
  }
  // The temporary file after the user edited it (1251 text).
  void Edit(const ExtractedEntry& e, const std::string& text_1251) {
    WriteBytes(e.temp_file.filename(), text_1251);
  }
  std::string main_, second_;
};

TEST_F(Editor, AnEntryInAListedFileIsExtractedAndWrittenBackThere) {
  auto e = ExtractEntry(dir_, "zdp.csr", "p01z06", false);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->collection_file, dir_ / "zdp2.csr");
  EXPECT_EQ(ReadBytes(e->temp_file.filename()), W("@p01z05 p01z06 * Солнце\nСолнце во Льве.\n\n"));

  Edit(*e, W("@p01z05 p01z06\r\nСолнце во Льве - новый текст.\r\n\r\n  \r\n"));
  EXPECT_EQ(WriteBackEntry(*e, false), WriteBackStatus::kDone);
  EXPECT_EQ(ReadBytes("zdp.csr"), main_);  // the first file is untouched
  EXPECT_EQ(ReadBytes("zdp2.csr"),
            Utf8ToCp866("@p01z05 p01z06\nСолнце во Льве - новый текст.\n@p02\r\nЛуна.\nend"));
  EXPECT_FALSE(std::filesystem::exists(e->temp_file));
  EXPECT_FALSE(std::filesystem::exists(dir_ / kWriteBackFile));
  EXPECT_TRUE(Shown().empty());

  TextCollection c;  // the collection sees the edit at its next opening
  ASSERT_TRUE(c.Open("zdp", dir_));
  EXPECT_EQ(c.Fetch("p01z05", SexCode::kNone), Lines1251({"Солнце во Льве - новый текст."}));
}

TEST_F(Editor, TheLastEntryWithoutALineFeedAndACrLfEntryKeepTheirSurroundings) {
  auto e = ExtractEntry(dir_, "zdp.csr", "p02", false);
  ASSERT_TRUE(e);
  EXPECT_EQ(ReadBytes(e->temp_file.filename()), W("@p02\nЛуна.\nend\n"));
  Edit(*e, W("@p02\nЛуна, исправлено."));
  ASSERT_EQ(WriteBackEntry(*e, false), WriteBackStatus::kDone);
  // The key line ended in CR LF, so the edited lines do too; the entry before stays.
  EXPECT_EQ(ReadBytes("zdp2.csr"),
            Utf8ToCp866("@p01z05 p01z06 * Солнце\nСолнце во Льве.\n\n@p02\r\nЛуна, исправлено.\r\n"));
}

TEST_F(Editor, AMissingKeyIsReportedWithTheKey) {
  EXPECT_FALSE(ExtractEntry(dir_, "zdp.csr", "p09h01", false));
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0], "no key p09h01");
}

TEST_F(Editor, JustificationPadsOnExtractAndCollapsesOnWriteBack) {
  WriteBytes("zdp.csr", Utf8ToCp866("@k\nshort line\nnext word\n=not this\nnor the last\n@z\nz\n"));
  auto e = ExtractEntry(dir_, "zdp.csr", "k", true);
  ASSERT_TRUE(e);
  std::vector<std::string> lines;
  std::string temp = ReadBytes(e->temp_file.filename());
  for (size_t s = 0, nl; (nl = temp.find('\n', s)) != std::string::npos; s = nl + 1)
    lines.push_back(temp.substr(s, nl - s));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "@k");  // the key line is never padded
  EXPECT_EQ(lines[1].size(), 72u);
  EXPECT_EQ(lines[1].substr(0, 6), "short ");
  EXPECT_EQ(lines[2].size(), 72u);  // "=" is a non-blank, so the line before it is padded
  EXPECT_EQ(lines[3], "=not this");
  EXPECT_EQ(lines[4], "nor the last");
  ASSERT_EQ(WriteBackEntry(*e, true), WriteBackStatus::kDone);
  EXPECT_EQ(ReadBytes("zdp.csr"), "@k\nshort line\nnext word\n=not this\nnor the last\n@z\nz\n");
}

TEST_F(Editor, AFailedWriteLeavesTheCollectionByteForByteAndKeepsTheEdit) {
  auto e = ExtractEntry(dir_, "zdp.csr", "p01z05", false);
  ASSERT_TRUE(e);
  Edit(*e, "@p01z05\nchanged\n");
  // Something that is not a file occupies the scratch name.
  std::filesystem::create_directory(dir_ / kWriteBackFile);
  std::filesystem::path inside = dir_ / kWriteBackFile / "keep";
  WriteBytes(inside.lexically_relative(dir_), "x");
  EXPECT_EQ(WriteBackEntry(*e, false), WriteBackStatus::kCannotWrite);
  EXPECT_EQ(ReadBytes("zdp2.csr"), second_);
  EXPECT_EQ(ReadBytes(e->temp_file.filename()), "@p01z05\nchanged\n");
  EXPECT_TRUE(std::filesystem::exists(inside));
  EXPECT_EQ(Shown().size(), 1u);
}

TEST_F(Editor, AReadOnlyFolderLeavesTheCollectionByteForByte) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  auto e = ExtractEntry(dir_, "zdp.csr", "p01z05", false);
  ASSERT_TRUE(e);
  Edit(*e, "@p01z05\nchanged\n");
  std::filesystem::permissions(dir_, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_EQ(WriteBackEntry(*e, false), WriteBackStatus::kCannotWrite);
  std::filesystem::permissions(dir_, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  EXPECT_EQ(ReadBytes("zdp2.csr"), second_);
  EXPECT_FALSE(std::filesystem::exists(dir_ / kWriteBackFile));
}

TEST_F(Editor, AFailedRenameReportsBothNamesAndReplacesNothing) {
  std::filesystem::create_directories(dir_ / "target" / "sub");
  EXPECT_EQ(ReplaceFile(dir_ / "target", dir_ / kWriteBackFile, "new"),
            WriteBackStatus::kCannotReplace);
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "target" / "sub"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / kWriteBackFile));
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].rfind("cannot rename ", 0), 0u);
  EXPECT_NE(Shown()[0].find("p2.tmp"), std::string::npos);
}

TEST_F(Editor, AnEntryRemovedMeanwhileIsReportedAndNothingIsWritten) {
  auto e = ExtractEntry(dir_, "zdp.csr", "p02", false);
  ASSERT_TRUE(e);
  WriteBytes("zdp2.csr", "@other\ntext\n");
  EXPECT_EQ(WriteBackEntry(*e, false), WriteBackStatus::kEntryGone);
  EXPECT_EQ(ReadBytes("zdp2.csr"), "@other\ntext\n");
  EXPECT_TRUE(std::filesystem::exists(e->temp_file));
}

TEST_F(Editor, SixtyFourThousandBytesOpenOneMoreDoesNot) {
  std::string body(63998, 'a');
  WriteBytes("fits.tmp", "x\n" + body);
  WriteBytes("big.tmp", "x\n" + body + "b");
  bool too_big = true;
  auto fits = LoadForEditor(dir_ / "fits.tmp", &too_big);
  ASSERT_TRUE(fits);
  EXPECT_FALSE(too_big);
  EXPECT_EQ(*fits, "x\r\n" + body);
  EXPECT_FALSE(LoadForEditor(dir_ / "big.tmp", &too_big));
  EXPECT_TRUE(too_big);
  EXPECT_TRUE(FitsEditor(64000));
  EXPECT_FALSE(FitsEditor(64001));
}

TEST_F(Editor, SavingConvertsOnlyWhenAskedAndReplacesTheFile) {
  WriteBytes("e.tmp", "old");
  ASSERT_EQ(SaveEditorText(dir_ / "e.tmp", W("Текст\r\n"), true), WriteBackStatus::kDone);
  EXPECT_EQ(ReadBytes("e.tmp"), Utf8ToCp866("Текст\r\n"));
  ASSERT_EQ(SaveEditorText(dir_ / "e.tmp", W("Текст"), false), WriteBackStatus::kDone);
  EXPECT_EQ(ReadBytes("e.tmp"), W("Текст"));
}

TEST(EditorHelpers, BlanksAndDates) {
  EXPECT_EQ(CollapseInnerBlanks("   a    b  c "), "   a b c ");
  EXPECT_EQ(CollapseInnerBlanks("    "), "    ");
  EXPECT_EQ(EditorDate(5, 3, 961), "05.03.0961");
  EXPECT_EQ(EditorDate(31, 12, 2024), "31.12.2024");
}

}  // namespace
}  // namespace kv::test
