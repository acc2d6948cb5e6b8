#include "texts/text_store.h"

#include "texts/tests/test_files.h"

namespace kv::test {
namespace {

using Store = TextsTest;

std::vector<std::string> Fetch(const TextCollection& c, const std::string& key,
                               SexCode sex = SexCode::kNone) {
  return c.Fetch(key, sex);
}

TEST_F(Store, TwoKeysOnOneLineShareTheTextAndTheCommentIsIgnored) {
  Write866("kvinat.csr", {"@p01z05 \tp01z06 * не ключ p09", "Солнце во Льве.", "@p02z01",
                          "Луна в Овне."});
  TextCollection c;
  ASSERT_TRUE(c.Open("kvinat", dir_));
  EXPECT_EQ(Fetch(c, "p01z05"), Lines1251({"Солнце во Льве."}));
  EXPECT_EQ(Fetch(c, "p01z06"), Lines1251({"Солнце во Льве."}));
  EXPECT_TRUE(Fetch(c, "p09").empty());
  EXPECT_TRUE(Fetch(c, W("не")).empty());
  EXPECT_EQ(c.Index().size(), 3u);
  EXPECT_EQ(Fetch(c, "p02z01"), Lines1251({"Луна в Овне."}));
}

// The example text: common, men's, women's and closing lines.
class SexParts : public Store {
 protected:
  void SetUp() override {
    Store::SetUp();
    Write866("zdp.csr", {"@p01", "Общая строка.", "#М", "Для мужчин.", "#Ж", "Для женщин.",
                         "#  ", "Заключение.", "@p02", "#М", "#комментарий в мужской части",
                         "только мужчинам", "# ", "всем"});
    ASSERT_TRUE(c_.Open("zdp", dir_));
  }
  TextCollection c_;
};

TEST_F(SexParts, EachSexGetsItsPartAndNoneGetsNeither) {
  EXPECT_EQ(Fetch(c_, "p01", SexCode::kMan),
            Lines1251({"Общая строка.", "Для мужчин.", "Заключение."}));
  EXPECT_EQ(Fetch(c_, "p01", SexCode::kWoman),
            Lines1251({"Общая строка.", "Для женщин.", "Заключение."}));
  EXPECT_EQ(Fetch(c_, "p01", SexCode::kNone), Lines1251({"Общая строка.", "Заключение."}));
}

TEST_F(SexParts, CommentsInsideASkippedPartAreKeptButItsTextIsNot) {
  EXPECT_EQ(Fetch(c_, "p02", SexCode::kWoman), Lines1251({"#комментарий в мужской части", "всем"}));
  EXPECT_EQ(Fetch(c_, "p02", SexCode::kMan),
            Lines1251({"#комментарий в мужской части", "только мужчинам", "всем"}));
}

TEST_F(Store, ControlLinesAreRecognisedInTheBytesOfCodePage866) {
  // "#М" is 23 8C and "#Ж" is 23 86 on disk; "=" lines and comments stay in.
  WriteBytes("zdp.csr", "@k\r\ncommon\r\n#\x8C\r\nmen\r\n#\x86\r\nwomen\r\n#\r\n=hidden\r\n");
  TextCollection c;
  ASSERT_TRUE(c.Open("zdp", dir_));
  EXPECT_EQ(Fetch(c, "k", SexCode::kWoman),
            (std::vector<std::string>{"common", "women", "=hidden"}));
}

TEST_F(Store, ACollectionEndingInsideAMensPartEndsTheText) {
  WriteBytes("zdp.csr", Utf8ToCp866("@p01\nвсем\n#М\nмужчинам\nбез конца"));
  TextCollection c;
  ASSERT_TRUE(c.Open("zdp", dir_));
  EXPECT_EQ(Fetch(c, "p01", SexCode::kWoman), Lines1251({"всем"}));
  EXPECT_EQ(Fetch(c, "p01", SexCode::kMan), Lines1251({"всем", "мужчинам", "без конца"}));
}

TEST_F(Store, KeyLineOfOnlyAtEndsATextAndNamesNothing) {
  Write866("zdp.csr", {"@a", "text of a", "@", "orphan", "@@ section", "after section", "@b", "text of b"});
  TextCollection c;
  ASSERT_TRUE(c.Open("zdp", dir_));
  EXPECT_EQ(c.Index().size(), 2u);
  EXPECT_EQ(Fetch(c, "a"), (std::vector<std::string>{"text of a"}));
  EXPECT_EQ(Fetch(c, "b"), (std::vector<std::string>{"text of b"}));
  EXPECT_TRUE(Fetch(c, "").empty());
}

TEST_F(Store, KeysAreCutToThirtyCharactersOnBothSides) {
  std::string longkey(35, 'k');
  Write866("zdp.csr", {"@" + longkey, "long"});
  TextCollection c;
  ASSERT_TRUE(c.Open("zdp", dir_));
  ASSERT_EQ(c.Index().size(), 1u);
  EXPECT_EQ(c.Index()[0].key, std::string(30, 'k'));
  EXPECT_EQ(Fetch(c, longkey), (std::vector<std::string>{"long"}));
  EXPECT_EQ(Fetch(c, std::string(30, 'k')), (std::vector<std::string>{"long"}));
  EXPECT_TRUE(Fetch(c, std::string(29, 'k')).empty());
}

TEST_F(Store, IndexIsInByteOrderWithFileNumberAndPositionAfterTheKeyLine) {
  const std::string bytes = Utf8ToCp866("@b\nB text\n@Я\nцифра\n@B a\nshared\n");
  WriteBytes("zdp.csr", bytes);
  TextCollection c;
  ASSERT_TRUE(c.Open("zdp", dir_));
  const auto& index = c.Index();
  ASSERT_EQ(index.size(), 4u);
  // Upper case before lower case, Cyrillic (1251 bytes above 0x7F) last.
  EXPECT_EQ(index[0].key, "B");
  EXPECT_EQ(index[1].key, "a");
  EXPECT_EQ(index[2].key, "b");
  EXPECT_EQ(index[3].key, W("Я"));
  for (const auto& e : index) {
    EXPECT_EQ(e.file, 0u);
    EXPECT_EQ(bytes[e.offset - 1], '\n');
    EXPECT_NE(bytes[e.offset], '@');
  }
  EXPECT_EQ(index[0].offset, bytes.find("shared"));
  EXPECT_EQ(Fetch(c, W("Я")), Lines1251({"цифра"}));
}

TEST_F(Store, FilesListIndexesEveryFileAndFindsAKeyOnlyInTheLast) {
  Write866("kvinat.csr", {"FILES=part1.csr \"part two.csr\"", "@first", "one"});
  Write866("part1.csr", {"@second", "two"});
  Write866("part two.csr", {"@third", "three"});
  TextCollection c;
  ASSERT_TRUE(c.Open("kvinat", dir_));
  EXPECT_EQ(c.FileCount(), 3u);
  EXPECT_EQ(Fetch(c, "third"), (std::vector<std::string>{"three"}));
  EXPECT_EQ(Fetch(c, "first"), (std::vector<std::string>{"one"}));
  for (const auto& e : c.Index()) {
    if (e.key == "third") { EXPECT_EQ(e.file, 2u); }
    if (e.key == "second") { EXPECT_EQ(e.file, 1u); }
  }
  EXPECT_TRUE(Shown().empty());
}

TEST_F(Store, AMissingListedFileKeepsItsNumberAndIsReported) {
  Write866("kvinat.csr", {"FILES=gone.csr last.csr", "@first", "one"});
  Write866("last.csr", {"@late", "found"});
  TextCollection c;
  ASSERT_TRUE(c.Open("kvinat", dir_));
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_NE(Shown()[0].find("gone.csr"), std::string::npos);
  EXPECT_EQ(c.FileCount(), 3u);
  EXPECT_EQ(Fetch(c, "late"), (std::vector<std::string>{"found"}));
  for (const auto& e : c.Index())
    if (e.key == "late") { EXPECT_EQ(e.file, 2u); }
}

TEST_F(Store, SubfolderCsrServesTheCollectionAndItsListedFiles) {
  Write866("csr/zdp.csr", {"FILES=more.csr", "@z01", "Овен"});
  Write866("csr/more.csr", {"@z02", "Телец"});
  Write866("more.csr", {"@z02", "wrong folder"});
  TextCollection c;
  ASSERT_TRUE(c.Open("zdp.csr", dir_));  // the stem is cut at its first "."
  EXPECT_TRUE(c.InSubfolder());
  EXPECT_EQ(Fetch(c, "z01"), Lines1251({"Овен"}));
  EXPECT_EQ(Fetch(c, "z02"), Lines1251({"Телец"}));
}

TEST_F(Store, TheWorkingFolderComesBeforeTheSubfolder) {
  Write866("zdp.csr", {"@z01", "here"});
  Write866("csr/zdp.csr", {"@z01", "there"});
  TextCollection c;
  ASSERT_TRUE(c.Open("zdp", dir_));
  EXPECT_FALSE(c.InSubfolder());
  EXPECT_EQ(Fetch(c, "z01"), (std::vector<std::string>{"here"}));
}

TEST_F(Store, NoCollectionFileFailsAndNamesTheSubfolderPath) {
  TextCollection c;
  EXPECT_FALSE(c.Open("kvinat", dir_));
  EXPECT_FALSE(c.IsOpen());
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_NE(Shown()[0].find("csr/kvinat.csr"), std::string::npos);
  EXPECT_TRUE(Fetch(c, "0").empty());
}

TEST_F(Store, AListOfMoreThan256FilesKeepsEveryFileApart) {
  std::string list = "FILES=";
  for (int i = 1; i <= 300; ++i) {
    std::string name = "f" + std::to_string(i) + ".csr";
    list += " " + name;
    Write866(name, {"@k" + std::to_string(i), "text " + std::to_string(i)});
  }
  Write866("big.csr", {list, "@k0", "text 0"});
  TextCollection c;
  ASSERT_TRUE(c.Open("big", dir_));
  EXPECT_EQ(c.FileCount(), 301u);
  // File 256 would be file 0 again with a one-byte number.
  EXPECT_EQ(Fetch(c, "k256"), (std::vector<std::string>{"text 256"}));
  EXPECT_EQ(Fetch(c, "k300"), (std::vector<std::string>{"text 300"}));
  EXPECT_EQ(Fetch(c, "k0"), (std::vector<std::string>{"text 0"}));
  EXPECT_EQ(Fetch(c, "k1"), (std::vector<std::string>{"text 1"}));
}

TEST_F(Store, ALineOfSeveralMegabytesIsReadWholeAndTheNextKeyStillWorks) {
  std::string huge(5 * 1024 * 1024, 'x');
  huge[123456] = ' ';
  WriteBytes("zdp.csr", "@big\n" + huge + "\n@small\nend\n");
  TextCollection c;
  ASSERT_TRUE(c.Open("zdp", dir_));
  auto big = Fetch(c, "big");
  ASSERT_EQ(big.size(), 1u);
  EXPECT_EQ(big[0], huge);
  EXPECT_EQ(Fetch(c, "small"), (std::vector<std::string>{"end"}));
}

TEST_F(Store, OpeningAgainSeesTheFileAsItIsNow) {
  Write866("zdp.csr", {"@a", "old"});
  TextCollection c;
  ASSERT_TRUE(c.Open("zdp", dir_));
  Write866("zdp.csr", {"@b", "inserted", "@a", "new"});
  ASSERT_TRUE(c.Open("zdp", dir_));
  EXPECT_EQ(Fetch(c, "a"), (std::vector<std::string>{"new"}));
  EXPECT_EQ(Fetch(c, "b"), (std::vector<std::string>{"inserted"}));
}

TEST(StoreHelpers, FilesListAndSexCodes) {
  EXPECT_EQ(FilesListOfLine("FILES=a.csr\t\"b c.csr\"  d.csr \"open end"),
            (std::vector<std::string>{"a.csr", "b c.csr", "d.csr", "open end"}));
  EXPECT_TRUE(FilesListOfLine("@FILES=a.csr").empty());
  EXPECT_EQ(SexCodeOfChart(0), SexCode::kMan);
  EXPECT_EQ(SexCodeOfChart(1), SexCode::kWoman);
  EXPECT_EQ(SexCodeOfChart(7), SexCode::kNone);
  EXPECT_FALSE(IsKeyLine("@@x"));
  EXPECT_TRUE(IsKeyLine("@"));
}

}  // namespace
}  // namespace kv::test
