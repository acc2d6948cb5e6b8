// Damaged copies of the time-zone table "popa.ctl" (as the build writes it) and of the
// three files of a towns database, read as the town chooser and the birth-data dialog
// read them: no crash, a damaged zone line or database gives its message, and no file
// opened for reading changes by a byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/messages.h"
#include "common/tests/captured_messages.h"
#include "common/tests/damaged_copies.h"
#include "common/tokens.h"
#include "db/records/database_check.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "towns/town_record.h"
#include "towns/town_search.h"
#include "towns/zone_correction.h"
#include "towns/zone_table.h"

namespace kv::towns {
namespace {

namespace fs = std::filesystem;
using kv::testing::Checksum;
using kv::testing::DamagedCopies;
using kv::testing::ReadBytes;
using kv::testing::WriteBytes;

std::vector<std::string>& g_shown = kv::testing::CapturedMessages::Texts();

class DamagedTownFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kv_damaged_towns_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    db::SetTables({});
  }
  fs::path dir_;
  kv::testing::CapturedMessages messages_;
};

TEST_F(DamagedTownFiles, ZoneTableGivesCorrectionsOrItsMessage) {
  const std::string good = ReadBytes(fs::path(KV_WORKDIR) / kZoneFile);
  ASSERT_GT(good.size(), 1000u);
  // Zone codes and summer-time sections of the sound table.
  std::vector<std::string> codes, rules;
  bool in_zones = false;
  for (const std::string& line : Split(good, '\n')) {
    const std::vector<std::string> words = Tokens(line);
    if (words.empty() || words[0][0] == '*') continue;
    if (words[0] == "@@") {
      in_zones = words.size() > 1 && words[1] == kZoneSection;
      if (!in_zones && words.size() > 1 && rules.size() < 40 && rules.size() * 7 < codes.size())
        rules.push_back(words[1]);
      continue;
    }
    if (in_zones && codes.size() < 300 && std::isdigit(static_cast<unsigned char>(words[0][0])))
      codes.push_back(words[0]);
  }
  ASSERT_GT(codes.size(), 50u);
  ASSERT_GT(rules.size(), 5u);
  const fs::path path = dir_ / kZoneFile;
  const auto copies = DamagedCopies(good, 61, 24);
  for (const auto& d : copies) {
    WriteBytes(path, d.bytes);
    g_shown.clear();
    ZoneTable table;
    ASSERT_TRUE(table.Load(path.string())) << d.what;
    EXPECT_EQ(Checksum(ReadBytes(path)), Checksum(d.bytes)) << d.what;
    db::FieldArray town;
    town[kFieldLongitude] = "37.37";
    for (size_t i = 0; i < codes.size(); i += 3) {
      town[kFieldZoneCode] = codes[i];
      town[kFieldSummerRule] = rules[i % rules.size()];
      for (double jd : {2415020.5, 2444240.5, 2460676.5}) {
        const double c = ZoneCorrection(jd, town, true, table);
        EXPECT_FALSE(std::isnan(c)) << d.what;
      }
    }
    for (const std::string& s : g_shown) EXPECT_FALSE(s.empty()) << d.what;
  }
  RecordProperty("damaged_copies", static_cast<int>(copies.size()));
}

TEST_F(DamagedTownFiles, TownsDatabaseGivesTheListsOrTheDamageMessage) {
  ASSERT_TRUE(db::LoadSchema(std::string(KV_TEST_DATA) + "/shembd.ctl").ok());
  const std::string name = (dir_ / kTownsDatabase).string();
  ASSERT_TRUE(db::CreateTowns(name).ok());
  {
    db::Database base;
    ASSERT_TRUE(base.Open(name, db::kTownsWrite4).ok());
    db::FieldArray f;
    const char* const countries[] = {"Россия", "Казахстан", "Грузия"};
    for (int i = 0; i < 3; ++i) {
      db::ClearFields(f);
      f[kFieldCountryName] = Utf8ToCp866(countries[i]);
      f[kFieldCountryOtherName] = "C" + std::to_string(i);
      ASSERT_TRUE(base.Write("S.C" + std::to_string(i), f).ok());
    }
    for (int i = 0; i < 300; ++i) {
      db::ClearFields(f);
      f[kFieldTownName] = Utf8ToCp866(i % 2 ? "Малое " : "Новое ") + std::to_string(i * 37 % 300);
      f[kFieldCountry] = Utf8ToCp866(countries[i % 3]);
      f[kFieldCountryRegion] = f[kFieldCountry];
      f[kFieldPopulation] = std::to_string(1000 + i * 13);
      f[kFieldZoneCode] = std::to_string(1 + i % 40);
      f[kFieldLatitude] = "55.45";
      f[kFieldLongitude] = "37.37";
      ASSERT_TRUE(base.Write("t." + std::to_string(i), f).ok());
    }
  }
  int tried = 0;
  for (const char* ext : {".btz", ".bbb", ".bnz"}) {
    const std::string path = name + ext;
    const std::string good = ReadBytes(path);
    ASSERT_FALSE(good.empty()) << ext;
    for (const auto& d : DamagedCopies(good, 62 + static_cast<unsigned>(ext[3]), 24)) {
      ++tried;
      WriteBytes(path, d.bytes);
      g_shown.clear();
      {
        db::Database base;
        const Status opened = base.Open(name, db::kTownsRead);
        if (opened.ok()) {
          const TownList all = TownList::All(base);
          for (size_t i = 0; i < all.size(); i += 11) (void)all.Line(i);
          (void)all.FindPrefix(W("Ма"));
          for (const CountryRow& c : Countries(base)) (void)TownList::OfCountry(base, c.name);
          (void)FindTowns(base, W("Н"), 20);
          if (!base.damage().ok()) {
            EXPECT_FALSE(g_shown.empty()) << ext << ", " << d.what;
          }
        } else if (opened.IsCorruption()) {
          EXPECT_FALSE(g_shown.empty()) << ext << ", " << d.what;
        }
      }
      (void)db::CheckDatabase(name, true);
      EXPECT_EQ(Checksum(ReadBytes(path)), Checksum(d.bytes)) << ext << ", " << d.what;
    }
    WriteBytes(path, good);
  }
  RecordProperty("damaged_copies", tried);
}

}  // namespace
}  // namespace kv::towns
