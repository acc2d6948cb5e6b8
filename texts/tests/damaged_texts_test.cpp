// Damaged copies of the shipped text collections (a first file with "FILES=" and one
// of the files it names) and of the help file "kvima.lrn" with a file it includes,
// read as the windows read them: every key of the sound files is asked for, no crash,
// a message only for a file that cannot be read, and every file keeps its bytes.
#include <string>
#include <vector>

#include "common/tests/damaged_copies.h"
#include "common/tokens.h"
#include "texts/help_file.h"
#include "texts/tests/test_files.h"
#include "texts/text_store.h"

namespace kv::test {
namespace {

using testing::Checksum;
using testing::DamagedCopies;

using DamagedTexts = TextsTest;

std::string Master866(const std::string& name) {
  return Utf8ToCp866(testing::ReadBytes(std::string(KV_TEST_DATA) + "/texts/" + name + ".utf8"));
}

TEST_F(DamagedTexts, CollectionsGiveTheirTextsAndKeepTheirBytes) {
  const std::vector<std::string> files = {"zdp.csr", "zdp_pz.csr", "zdp_ph.csr"};
  std::vector<std::string> good;
  for (const std::string& f : files) {
    good.push_back(Master866(f));
    ASSERT_FALSE(good.back().empty()) << f;
    WriteBytes(f, good.back());
  }
  TextCollection sound;
  ASSERT_TRUE(sound.Open("zdp", dir_));
  ASSERT_EQ(sound.FileCount(), files.size());
  std::vector<std::string> keys;
  for (size_t i = 0; i < sound.Index().size(); i += 7) keys.push_back(sound.Index()[i].key);
  ASSERT_GT(keys.size(), 10u);

  int tried = 0;
  for (size_t damaged = 0; damaged < 2; ++damaged) {
    for (const auto& d : DamagedCopies(good[damaged], 31 + static_cast<unsigned>(damaged), 24)) {
      ++tried;
      WriteBytes(files[damaged], d.bytes);
      Shown().clear();
      TextCollection c;
      ASSERT_TRUE(c.Open("zdp", dir_)) << d.what;
      for (const std::string& key : keys)
        for (SexCode sex : {SexCode::kMan, SexCode::kWoman}) (void)c.Fetch(key, sex);
      // Only a file that does not open is reported (a damaged list may name one).
      EXPECT_LE(Shown().size(), c.FileCount()) << d.what;
      for (const std::string& s : Shown())
        EXPECT_FALSE(s.empty()) << d.what;
      for (size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(Checksum(ReadBytes(files[i])), Checksum(i == damaged ? d.bytes : good[i]))
            << files[i] << ", " << d.what;
    }
    WriteBytes(files[damaged], good[damaged]);
  }
  RecordProperty("damaged_copies", tried);
}

TEST_F(DamagedTexts, HelpFilesGiveTopicsAndKeepTheirBytes) {
  // The main file, with its includes cut down to one that is there.
  std::string main;
  for (const std::string& line : Split(Master866("kvima.lrn"), '\n'))
    if (line.rfind("@@", 0) != 0) main += line + "\n";
  main = "@@kvh_start.lrn\n" + main;
  const std::string start = Master866("kvh_start.lrn");
  WriteBytes("kvima.lrn", main);
  WriteBytes("kvh_start.lrn", start);
  std::vector<std::string> keys = {"GenHelp", "Start", "HelpUse", "nowhere"};

  int tried = 0;
  for (const std::string& which : {std::string("kvima.lrn"), std::string("kvh_start.lrn")}) {
    const std::string& good = which == "kvima.lrn" ? main : start;
    for (const auto& d : DamagedCopies(good, 41, 32)) {
      ++tried;
      WriteBytes(which, d.bytes);
      Shown().clear();
      for (const std::string& key : keys)
        if (auto topic = FindHelpTopic(dir_, key))
          for (const std::string& line : *topic) {
            const HelpLine parsed = ParseHelpLine(line);
            EXPECT_LE(parsed.target.size(), kMaxHelpTarget) << d.what;
          }
      EXPECT_EQ(Checksum(ReadBytes(which)), Checksum(d.bytes)) << d.what;
      // Cut or damaged include lines name files that are not there: one message each.
      for (const std::string& s : Shown()) EXPECT_FALSE(s.empty()) << d.what;
    }
    WriteBytes(which, good);
  }
  RecordProperty("damaged_copies", tried);
}

}  // namespace
}  // namespace kv::test
