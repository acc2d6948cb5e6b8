#include "common/settings.h"

#include <gtest/gtest.h>

#include <random>

#include "common/codepage.h"
#include "common/messages.h"
#include "common/tests/russian_locale.h"

namespace kv {
namespace {

Settings Parse(const std::string& text) {
  Settings s;
  ParseSettingsText(text, s);
  return s;
}

TEST(SettingsFile, OldDayCorrectionIsOverriddenByHours) {
  EXPECT_DOUBLE_EQ(Parse("GMTPOP=0.125\n").startup.correction_h, 3.0);
  EXPECT_DOUBLE_EQ(Parse("GMTPOP=0.125\nGMTH=-4.5\n").startup.correction_h, -4.5);
}

TEST(SettingsFile, ShortOptionLineChangesOnlyItsBytes) {
  Settings s = Parse("Ov=1 2 259\n");
  EXPECT_EQ(s.ov[0], 1);
  EXPECT_EQ(s.ov[1], 2);
  EXPECT_EQ(s.ov[2], 3);  // modulo 256
  Settings d;
  for (int i = 3; i < kOptionBytes; ++i) EXPECT_EQ(s.ov[i], d.ov[i]) << i;
  EXPECT_EQ(s.ov[kOptMaximised], 1);
}

TEST(SettingsFile, TextsAreCutAtTheirLimits) {
  Settings s = Parse("NAME=" + std::string(40, 'N') + "\nBASA=" + std::string(100, 'b') +
                     "\nTown=" + std::string(50, 't') + "\n");
  EXPECT_EQ(std::string(s.startup.name), std::string(29, 'N'));
  EXPECT_EQ(s.database.size(), kMaxFileName);
  EXPECT_EQ(s.town_file.size(), kMaxTownFile);
}

TEST(SettingsFile, KeysAreExactAndCommentsSkipped) {
  Settings s = Parse("* LAT=10\n  \nlat=11\nLAT = 55.45\nunknown=1\nno equals\nHouseSet=5\n");
  EXPECT_DOUBLE_EQ(s.startup.lat_packed, 55.45);
  EXPECT_EQ(s.house_system, 5);
  EXPECT_EQ(s.startup.house_system, 5);
}

TEST(SettingsFile, UnreadableDateFallsBackToJ2000) {
  Settings s = Parse("JD=nonsense\nGMTH=3\n");
  EXPECT_DOUBLE_EQ(s.startup.jd_local, 2451545.0);
  EXPECT_DOUBLE_EQ(s.startup.jd_ut, 2451545.0 + 3.0 / 24.0);
  EXPECT_DOUBLE_EQ(s.startup.jd_calc, s.startup.jd_ut);
}

// A year of ten digits read as a moment made the writer's date conversion overflow.
TEST(SettingsFile, DateBeyondFourDigitYearsFallsBackToJ2000AndWritesBack) {
  for (const char* line : {"JD=05.05.4500000700 12:00:00\n", "JD=01.01.10000\n"}) {
    Settings s = Parse(line);
    EXPECT_DOUBLE_EQ(s.startup.jd_local, 2451545.0) << line;
    EXPECT_NE(FormatSettingsText(s).find("JD=01.01.2000 12:00:00"), std::string::npos) << line;
  }
  EXPECT_NEAR(Parse("JD=31.12.9999 23:00:00\n").startup.jd_local, 5373484.0 + 11.0 / 24.0, 1e-6);
}

TEST(SettingsFile, SaveAndReloadGiveTheSameBytes) {
  Settings s = Parse(
      "JD=05.03.1961 14:07:00\nGMTH=-3\nLAT=55.45\nLONG=37.37\nNAME=" + W("Тест") +
      "\nMESTO=" + W("Москва") +
      "\nSEX=1\nBASA=people\nMaskP=65535\nMaskA=1023\nOv=1 0 1 0 0 0 0 0 0 0 5\n"
      "HouseSet=2\nRGN=7\nTown=towns\nORBFILE=my.ao\nNamRed=/usr/bin/gedit\n"
      "InterV=01.01.2020-31.12.2020\nLP= 3 1 4\nColKvi= 255 -1 65280\nLf=60\nLfP=80\nFp=15\n");
  std::string first = FormatSettingsText(s);
  Settings again = Parse(first);
  EXPECT_EQ(FormatSettingsText(again), first);
  EXPECT_EQ(first.find("GMTPOP"), std::string::npos);
  EXPECT_NE(first.find("GMTH=-3.00000000\n"), std::string::npos);
  EXPECT_NE(first.find("JD=05.03.1961 14:07:00\n"), std::string::npos);
  EXPECT_NE(first.find("\nRazd=0\n"), std::string::npos);
  EXPECT_EQ(again.colours[0], 255);
  EXPECT_EQ(again.colours[1], -1);
  EXPECT_EQ(again.lp[2], 4);
  EXPECT_EQ(again.ov[10], 5);
  EXPECT_EQ(again.startup.sex, 1);
}

// A text cut inside a run of CRs ends in them; the reader takes a line's last CR for
// a CRLF line end, so writing them made every save lose one (found by fuzzing).
TEST(SettingsFile, TextsEndingInCarriageReturnsReadBackAsWritten) {
  Settings s = Parse("NAME=" + W("Иван") + std::string(40, '\r') + "x\nMESTO=a\r\r\r\n");
  const std::string first = FormatSettingsText(s);
  EXPECT_NE(first.find("\nNAME=" + W("Иван") + "\n"), std::string::npos);
  EXPECT_NE(first.find("\nMESTO=a\n"), std::string::npos);
  EXPECT_EQ(FormatSettingsText(Parse(first)), first);
}

// The users run ru_RU.UTF-8, where the C library reads "55.45" as 55 and writes
// "55,45000000": the file must read and write the same bytes there.
TEST(SettingsFile, RoundTripInTheRussianLocale) {
  const std::string text =
      "JD=05.03.1961 14:07:00\nGMTH=-3.50000000\nLAT=55.45000000\nLONG=-37.37000000\n";
  const std::string in_c_locale = FormatSettingsText(Parse(text));
  testing::RussianLocale ru;
  ASSERT_EQ(ru.error(), "");
  Settings s = Parse(text);
  EXPECT_DOUBLE_EQ(s.startup.lat_packed, 55.45);
  EXPECT_DOUBLE_EQ(s.startup.lon_packed, -37.37);
  EXPECT_DOUBLE_EQ(s.startup.correction_h, -3.5);
  EXPECT_DOUBLE_EQ(Parse("GMTPOP=0.125\n").startup.correction_h, 3.0);
  const std::string written = FormatSettingsText(s);
  EXPECT_EQ(written, in_c_locale);
  EXPECT_EQ(written.substr(0, text.size()), text);
  EXPECT_EQ(FormatSettingsText(Parse(written)), written);
}

TEST(SettingsFile, OptionLineLayout) {
  Settings s;
  std::string text = FormatSettingsText(s);
  size_t at = text.find("Ov=");
  ASSERT_NE(at, std::string::npos);
  std::string line = text.substr(at, text.find('\n', at) - at);
  EXPECT_EQ(line.substr(0, 25), "Ov=0 0 0 0 0 0 0 0 0 0   ");
  EXPECT_NE(text.find("LP= 0 0 0 0 0 0 0 0 0 0   0 0"), std::string::npos);
  EXPECT_NE(text.find("ColKvi= -1 -1"), std::string::npos);
}

TEST(SettingsFile, GarbageAndHugeLinesNeverBreakTheLoad) {
  std::mt19937 rng(7);
  std::string garbage(200000, '\0');
  for (auto& c : garbage) c = static_cast<char>(rng());
  garbage += "\nNAME=" + std::string(1 << 20, 'x') + "\nOv=" + std::string(100000, '9') + "\n";
  Settings s = Parse(garbage);
  EXPECT_EQ(std::string(s.startup.name).size(), 29u);
  EXPECT_FALSE(FormatSettingsText(s).empty());
}

}  // namespace
}  // namespace kv
