#include "towns/town_search.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "common/codepage.h"
#include "common/messages.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "towns/town_record.h"

namespace kv::towns {
namespace {

namespace fs = std::filesystem;

struct TestTown {
  const char* key;
  const char* name;  // UTF-8
  const char* country;
  long population;
};

// Names chosen so that byte order and folded order differ: lower-case first letters,
// "ё", Latin names with a lower-case middle.
const TestTown kTowns[] = {
    {"t.1", "Орёл", "Россия", 300000},     {"t.2", "Орел", "Россия", 1000},
    {"t.3", "Орехово", "Россия", 50000},   {"t.4", "орловка", "Россия", 2000},
    {"t.5", "Самара", "Россия", 1100000},  {"t.6", "DeKalb", "США", 40000},
    {"t.7", "Dearborn", "США", 100000},    {"t.8", "Бафата", "Гвинея-Бисау", 22000},
    {"t.9", "Конакри", "Гвинея", 1700000}, {"t.10", "Ёлкино", "Россия", 1500},
};

// A towns database in a folder of its own, written as the generator writes it:
// texts in code page 866, the schema of the working directory.
class TownSearchTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::ifstream schema(std::string(KV_TEST_DATA) + "/shembd.ctl", std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(schema, line);) lines.push_back(line);
    db::SetTables(db::ParseSchema(lines));
    dir_ = fs::temp_directory_path() / ("kv_town_search_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    previous_ = fs::current_path();
    fs::current_path(dir_);
    ASSERT_TRUE(db::CreateTowns(kTownsDatabase).ok());
    db::Database base;
    ASSERT_TRUE(base.Open(kTownsDatabase, db::kTownsWrite4).ok());
    db::FieldArray f;
    for (auto [key, ru, en] : {std::tuple{"S.RU", "Россия", "Russia"}, {"S.US", "США", "USA"},
                               {"S.GW", "Гвинея-Бисау", "Guinea-Bissau"}, {"S.GN", "Гвинея", "Guinea"}}) {
      db::ClearFields(f);
      f[kFieldCountryName] = Utf8ToCp866(ru);
      f[kFieldCountryOtherName] = en;
      ASSERT_TRUE(base.Write(key, f).ok());
    }
    for (const TestTown& t : kTowns) {
      db::ClearFields(f);
      f[kFieldTownName] = Utf8ToCp866(t.name);
      f[kFieldCountry] = Utf8ToCp866(t.country);
      f[kFieldCountryRegion] = Utf8ToCp866(t.country);
      f[kFieldPopulation] = std::to_string(t.population);
      f[kFieldZoneCode] = "1";
      ASSERT_TRUE(base.Write(t.key, f).ok());
    }
  }
  static void TearDownTestSuite() {
    fs::current_path(previous_);
    fs::remove_all(dir_);
    db::SetTables({});
  }
  void SetUp() override { ASSERT_TRUE(base_.Open(kTownsDatabase, db::kTownsRead).ok()); }
  void TearDown() override { base_.Close(); }

  std::vector<db::FieldArray> FindTowns(std::string_view text, size_t limit) {
    return towns::FindTowns(base_, text, limit);
  }

  static std::vector<std::string> Names(const std::vector<db::FieldArray>& found) {
    std::vector<std::string> names;
    for (const auto& f : found) names.push_back(Cp1251ToUtf8(f[kFieldTownName]));
    return names;
  }

  db::Database base_;
  static fs::path dir_, previous_;
};
fs::path TownSearchTest::dir_, TownSearchTest::previous_;

using NameList = std::vector<std::string>;

TEST_F(TownSearchTest, PrefixSearchFindsEverySpellingAndRanksByInhabitants) {
  // The lower-case "орловка" lies far from "Ор..." in the name index.
  EXPECT_EQ(Names(FindTowns(W("ор"), 20)), (NameList{"Орёл", "Орехово", "орловка", "Орел"}));
  EXPECT_EQ(Names(FindTowns(W("ОР"), 2)), (NameList{"Орёл", "Орехово"}));
  EXPECT_EQ(Names(FindTowns("de", 20)), (NameList{"Dearborn", "DeKalb"}));
  EXPECT_EQ(Names(FindTowns(W("елк"), 20)), (NameList{"Ёлкино"}));
  EXPECT_TRUE(FindTowns(W("Орша"), 20).empty());
}

TEST_F(TownSearchTest, ExactNamesComeFirstWhateverTheirSize) {
  EXPECT_EQ(Names(FindTowns(W("орел"), 20)), (NameList{"Орёл", "Орел"}));
  EXPECT_EQ(Names(FindTowns(W("Орёл "), 20)), (NameList{"Орёл", "Орел"}));
  EXPECT_EQ(Names(FindTowns(W("Орехово"), 20)), (NameList{"Орехово"}));
}

TEST_F(TownSearchTest, FoundRecordsAreReadThroughTheReadScript) {
  const auto found = FindTowns(W("Самара"), 20);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0][1], "t.5");
  EXPECT_EQ(found[0][kFieldCountry], W("Россия"));  // 866 on disk, 1251 here
}

TEST_F(TownSearchTest, ChooserListKeepsTheNameIndexOrderAndSearchesWithoutCase) {
  const TownList all = TownList::All(base_);
  ASSERT_EQ(all.size(), std::size(kTowns));
  // Byte order of code page 866: Latin ("DeK" before "Dea"), upper-case Cyrillic,
  // lower-case Cyrillic, "Ё".
  std::vector<std::string> keys;
  for (size_t i = 0; i < all.size(); ++i) keys.push_back(all.row(i).key);
  EXPECT_EQ(keys, (std::vector<std::string>{"t.6", "t.7", "t.8", "t.9", "t.2", "t.3", "t.1", "t.5",
                                            "t.4", "t.10"}));
  EXPECT_EQ(all.FindPrefix(W("орё")), 4);  // "Орел" is the first line that begins so
  EXPECT_EQ(all.FindPrefix(W("ОРЛ")), 8);
  EXPECT_EQ(all.FindPrefix(W("ел")), 9);
  EXPECT_EQ(all.FindPrefix(W("Ж")), -1);
  EXPECT_EQ(all.FindPrefix(""), 0);
  EXPECT_EQ(all.Counter(4), "5:10");
  // Lines come from the records, read when first shown.
  EXPECT_EQ(all.Line(4), TownListLine(FindTowns(W("орел"), 20)[1]));
  EXPECT_EQ(all.Line(9).substr(0, 27), W("Ёлкино") + std::string(19, ' ') + " " + W("Р"));
  EXPECT_EQ(all.Counter(-1), "0:10");
}

TEST_F(TownSearchTest, TypedWholeNameTakesTheLargestTownOfThatName) {
  const TownList all = TownList::All(base_);
  // "Орел" (1000) comes first in the index, "Орёл" (300000) after "Орехово".
  EXPECT_EQ(all.row(all.FindTyped(W("орел"))).key, "t.1");
  EXPECT_EQ(all.row(all.FindTyped(W("ОРЁЛ"))).key, "t.1");
  // A part of a name is the plain prefix search.
  EXPECT_EQ(all.FindTyped(W("оре")), all.FindPrefix(W("оре")));
  EXPECT_EQ(all.row(all.FindTyped(W("оре"))).key, "t.2");
  EXPECT_EQ(all.FindTyped(W("Орша")), -1);
  EXPECT_EQ(all.FindTyped(""), 0);
  // A country's list searches its own towns.
  const TownList guinea = TownList::OfCountry(base_, W("Гвинея"));
  EXPECT_EQ(guinea.FindTyped(W("конакри")), 0);
}

TEST_F(TownSearchTest, CountryFilterTakesTheCountryItselfNotNamesThatBeginWithIt) {
  const TownList guinea = TownList::OfCountry(base_, W("Гвинея"));
  ASSERT_EQ(guinea.size(), 1u);
  EXPECT_EQ(guinea.row(0).key, "t.9");
  const TownList russia = TownList::OfCountry(base_, W("Россия"));
  std::vector<std::string> keys;
  for (size_t i = 0; i < russia.size(); ++i) keys.push_back(russia.row(i).key);
  EXPECT_EQ(keys, (std::vector<std::string>{"t.2", "t.3", "t.1", "t.5", "t.4", "t.10"}));
  EXPECT_EQ(russia.Line(3).substr(0, 6), W("Самара"));
  EXPECT_EQ(russia.FindPrefix(W("Ё")), 5);
  EXPECT_EQ(TownList::OfCountry(base_, W("Атлантида")).size(), 0u);
}

TEST_F(TownSearchTest, CountriesInTheOrderOfTheirNames) {
  const auto countries = Countries(base_);
  ASSERT_EQ(countries.size(), 4u);
  EXPECT_EQ(countries[0].line, W("Гвинея (Guinea)"));
  EXPECT_EQ(countries[1].key, "S.GW");
  EXPECT_EQ(countries[2].name, W("Россия"));
  EXPECT_EQ(countries[3].line, W("США (USA)"));
}

TEST_F(TownSearchTest, WithoutTheValueIndexNothingIsFound) {
  base_.Close();
  fs::rename("towns.bnz", "towns.bnz.away");
  ASSERT_TRUE(base_.Open(kTownsDatabase, db::kTownsRead).ok());
  EXPECT_TRUE(FindTowns(W("Самара"), 20).empty());
  EXPECT_EQ(TownList::All(base_).size(), 0u);
  base_.Close();
  fs::rename("towns.bnz.away", "towns.bnz");
  ASSERT_TRUE(base_.Open(kTownsDatabase, db::kTownsRead).ok());
}

}  // namespace
}  // namespace kv::towns
