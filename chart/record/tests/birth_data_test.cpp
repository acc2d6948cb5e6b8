// The start-up record and the settings file: the birth data go from "kvi.ini" into a
// chart record and back without a byte changing.
#include <gtest/gtest.h>

#include <cstring>

#include "chart/record/chart_record.h"
#include "common/codepage.h"
#include "common/settings.h"

namespace kv {
namespace {

TEST(StartupRecord, BirthDataOfTheSettingsFileMakeTheRecord) {
  Settings s;
  ParseSettingsText("JD=05.03.1961 14:07:00\nGMTH=-3\nLAT=55.45\nLONG=-37.37\nNAME=" +
                        W("Тест") + "\nMESTO=" + W("Москва") + "\nSEX=1\nHouseSet=6\n",
                    s);
  const ChartRecord rec = ChartRecordOf(s.startup);
  EXPECT_DOUBLE_EQ(rec.jd_ut, rec.jd_local - 3.0 / 24.0);
  EXPECT_DOUBLE_EQ(rec.jd_calc, rec.jd_ut);
  EXPECT_DOUBLE_EQ(rec.lon_packed, -37.37);
  EXPECT_EQ(std::string(rec.name), W("Тест"));
  EXPECT_EQ(std::string(rec.place), W("Москва"));
  EXPECT_EQ(rec.sex, 1);
  EXPECT_EQ(rec.house_system, 6);
  // The rest is the default record: a natal chart, no lunar day asked for yet.
  ChartRecord expected = DefaultChartRecord();
  std::memcpy(expected.name, rec.name, sizeof rec.name);
  std::memcpy(expected.place, rec.place, sizeof rec.place);
  expected.jd_local = rec.jd_local;
  expected.jd_ut = rec.jd_ut;
  expected.jd_calc = rec.jd_calc;
  expected.correction_h = rec.correction_h;
  expected.lat_packed = rec.lat_packed;
  expected.lon_packed = rec.lon_packed;
  expected.sex = rec.sex;
  expected.house_system = rec.house_system;
  EXPECT_EQ(std::memcmp(&rec, &expected, sizeof rec), 0);
}

TEST(StartupRecord, ARecordWritesTheSameFileItWasReadFrom) {
  Settings s;
  ParseSettingsText("JD=31.12.1899 23:59:59\nGMTH=-2.5\nLAT=-33.52\nLONG=151.13\nNAME=" +
                        std::string(29, 'N') + "\nMESTO=Sydney\nSEX=0\n",
                    s);
  const std::string first = FormatSettingsText(s);
  ChartRecord rec = ChartRecordOf(s.startup);
  rec.lon[1] = 280.0;  // computed positions are not birth data
  Settings again;
  again.startup = BirthDataOf(rec);
  EXPECT_EQ(FormatSettingsText(again), first);
}

}  // namespace
}  // namespace kv
