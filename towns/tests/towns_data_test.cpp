// The built towns data of the working directory: the time-zone histories of towns
// whose clocks a Russian-speaking astrologer meets most, from the decree time of 1930
// to the changes of 2011, 2014 and 2016.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/calendar.h"
#include "common/codepage.h"
#include "common/numbers.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "towns/town_record.h"
#include "towns/town_search.h"
#include "towns/zone_correction.h"

namespace kv::towns {
namespace {

namespace fs = std::filesystem;

class TownsDataTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    previous_ = fs::current_path();
    fs::current_path(KV_WORKDIR);  // the value index opens only under the name "towns"
    ASSERT_TRUE(db::LoadSchema().ok());
    ASSERT_TRUE(table_.Load());
  }
  static void TearDownTestSuite() {
    db::SetTables({});
    fs::current_path(previous_);
  }
  void SetUp() override { ASSERT_TRUE(base_.Open(kTownsDatabase, db::kTownsRead).ok()); }
  void TearDown() override { base_.Close(); }

  // The first town of that name in that country.
  db::FieldArray Town(const char* name, const char* country) {
    for (auto& f : FindTowns(base_, W(name), 20))
      if (f[kFieldCountry] == W(country)) return f;
    ADD_FAILURE() << "no town " << name;
    return {};
  }

  static double Correction(const db::FieldArray& town, int d, int m, int y) {
    return ZoneCorrection(DateToJulianDay(DateTimeRecord{d, m, y, 12, 0, 0}), town, true, table_);
  }

  db::Database base_;
  static fs::path previous_;
  static ZoneTable table_;
};
fs::path TownsDataTest::previous_;
ZoneTable TownsDataTest::table_;

TEST_F(TownsDataTest, Moscow) {
  const auto t = Town("Москва", "Россия");
  EXPECT_EQ(t[kFieldZoneId], "Europe/Moscow");
  EXPECT_NEAR(Correction(t, 1, 7, 1910), -(37 + 37 / 60.0) / 15, 1e-9);  // own mean time
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1921), -5);   // +3 and two hours of summer time
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1925), -2);   // Eastern European time until 1930
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 1935), -3);   // decree time
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 1985), -3);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1985), -4);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1991), -3);   // +2 with summer time
  EXPECT_DOUBLE_EQ(Correction(t, 1, 12, 1991), -2);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 2, 1992), -3);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 2012), -4);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 2015), -3);
}

TEST_F(TownsDataTest, Samara) {
  const auto t = Town("Самара", "Россия");
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1925), -3);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1932), -4);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1985), -5);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1990), -4);   // +3 standard, +1 summer
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 1991), -3);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1991), -3);   // +2 and summer time
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 2010), -4);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 2012), -4);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 2012), -4);   // +4 all year
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 2020), -4);
}

TEST_F(TownsDataTest, Novosibirsk) {
  const auto t = Town("Новосибирск", "Россия");
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1925), -6);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1950), -7);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1985), -8);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1995), -7);   // back to +6 in 1993
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 2013), -7);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 2015), -6);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 2017), -7);   // own zone since 24.07.2016
}

TEST_F(TownsDataTest, Kaliningrad) {
  const auto t = Town("Калининград", "Россия");
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 1940), -1);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 1950), -3);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1985), -4);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 1995), -2);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1995), -3);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 2013), -3);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 2015), -2);
}

TEST_F(TownsDataTest, Yekaterinburg) {
  const auto t = Town("Екатеринбург", "Россия");
  EXPECT_NEAR(Correction(t, 1, 7, 1917), -(3 + 45 / 60.0 + 5 / 3600.0), 1e-7);  // Perm mean time
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1925), -4);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 1950), -5);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1985), -6);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 2013), -6);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 2015), -5);
}

TEST_F(TownsDataTest, Kyiv) {
  const auto t = Town("Киев", "Украина");
  EXPECT_EQ(t[kFieldZoneId], "Europe/Kyiv");
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1925), -2);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1935), -3);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1942), -2);   // Central European summer time
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 1950), -3);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1985), -4);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 8, 1990), -3);   // +2 and summer time from July 1990
  EXPECT_DOUBLE_EQ(Correction(t, 1, 1, 1992), -2);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 2000), -3);
}

TEST_F(TownsDataTest, Almaty) {
  const auto t = Town("Алматы", "Казахстан");
  EXPECT_NEAR(Correction(t, 1, 7, 1920), -DegMinToDegrees(LeadingDouble(t[kFieldLongitude])) / 15, 1e-9);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1928), -5);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1950), -6);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 1985), -7);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 2010), -6);
  EXPECT_DOUBLE_EQ(Correction(t, 1, 7, 2025), -5);   // one zone for Kazakhstan since 2024
}

TEST_F(TownsDataTest, SwitchDaysAreFlagged) {
  const auto t = Town("Москва", "Россия");
  auto on = [&](int d, int m, int y) {
    return ClocksChangedOn(DateToJulianDay(DateTimeRecord{d, m, y, 12, 0, 0}), t, table_);
  };
  EXPECT_TRUE(on(27, 3, 2011));
  EXPECT_TRUE(on(26, 10, 2014));
  EXPECT_TRUE(on(21, 6, 1930));
  EXPECT_FALSE(on(15, 6, 1930));
  EXPECT_FALSE(on(1, 7, 2020));
}

TEST_F(TownsDataTest, CountriesAndTownsAreAllThere) {
  EXPECT_GT(Countries(base_).size(), 240u);
  EXPECT_GT(TownList::All(base_).size(), 33000u);
  EXPECT_GT(TownList::OfCountry(base_, W("Россия")).size(), 4000u);
}

}  // namespace
}  // namespace kv::towns
