// The chart calculation on the real ephemeris: time, bodies, derived points, range
// check, polar rule, options and the lunar day inside a chart.
#include "chart/calc/chart_calc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "astro/ephemeris/ephemeris.h"
#include "astro/tests/ephemeris_writer.h"
#include "chart/record/chart_rules.h"
#include "common/calendar.h"
#include "common/messages.h"

namespace kv {
namespace {

std::vector<std::string>& Shown() {
  static std::vector<std::string> texts;
  return texts;
}

class ChartCalcTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(InitEphemeris(KV_EPHE_DIR).ok());
  }
  void SetUp() override {
    Shown().clear();
    old_ = SetMessageSink({[](const std::string& t) { Shown().push_back(t); }, nullptr});
  }
  void TearDown() override { SetMessageSink(old_); }
  MessageSink old_;
};

ChartRecord Birth(const char* date_time, double corr, double lat, double lon, int system) {
  ChartRecord rec = DefaultChartRecord();
  SetBirthMoment(rec, ParseDateTime(date_time, false), corr);
  rec.lat_packed = lat;
  rec.lon_packed = lon;
  rec.house_system = static_cast<int16_t>(system);
  rec.lunar_day = -1;
  return rec;
}

double Gap(double a, double b) {
  double d = std::fabs(std::fmod(a - b + 720.0, 360.0));
  return d > 180 ? 360 - d : d;
}

TEST_F(ChartCalcTest, CorrectionMovesUniversalTime) {
  ChartRecord rec = Birth("05.03.1961 12:00:00", -3, 55.45, 37.37, 3);
  EXPECT_DOUBLE_EQ(double(rec.jd_ut), double(rec.jd_local) - 0.125);
  ASSERT_EQ(CalculateChart(rec, nullptr, 1, {}), 0);
  EXPECT_DOUBLE_EQ(double(rec.jd_calc), double(rec.jd_ut));
  EXPECT_EQ(rec.kind, 1);
}

TEST_F(ChartCalcTest, NatalChartFillsEverySlot) {
  ChartRecord base = DefaultChartRecord();
  SetChartText(base.name, "Base");
  base.jd_local = 2440000.5;
  ChartRecord rec = Birth("05.03.1961 14:07:00", -3, 55.45, 37.37, 3);
  ASSERT_EQ(CalculateChart(rec, &base, 1, {}), 0);
  EXPECT_STREQ(rec.base_name, "Base");
  EXPECT_DOUBLE_EQ(double(rec.base_jd_local), 2440000.5);
  // The Sun of 5 March 1961 stands in Pisces near 14 degrees, moving about a degree a day.
  EXPECT_NEAR(rec.lon[1], 344.6, 0.5);
  EXPECT_NEAR(rec.speed[1], 1.0, 0.02);
  for (int b = 1; b <= 31; ++b) {
    EXPECT_GE(double(rec.lon[b]), 0.0) << b;
    EXPECT_LT(double(rec.lon[b]), 360.0) << b;
  }
  EXPECT_GT(Gap(double(rec.lon[3]), double(rec.lon[1])), 0.0);
  EXPECT_NEAR(Gap(rec.lon[16], rec.lon[11] + 180.0), 0, 1e-12);
  EXPECT_EQ(double(rec.lat[16]), -double(rec.lat[11]));
  EXPECT_EQ(double(rec.speed[16]), double(rec.speed[11]));
  EXPECT_EQ(rec.lunar_day, -1);  // not asked for
  EXPECT_TRUE(Shown().empty());
}

TEST_F(ChartCalcTest, TrueNodeKeepsTheSouthNodeOpposite) {
  ChartOptions mean, truth;
  truth.true_node = true;
  ChartRecord a = Birth("12.04.1961 09:07:00", -3, 55.45, 37.37, 3);
  ChartRecord b = a;
  ASSERT_EQ(CalculateChart(a, nullptr, 1, mean), 0);
  ASSERT_EQ(CalculateChart(b, nullptr, 1, truth), 0);
  EXPECT_GT(Gap(double(a.lon[11]), double(b.lon[11])), 0.01);  // true and mean node differ
  EXPECT_LT(Gap(double(a.lon[11]), double(b.lon[11])), 2.0);
  EXPECT_EQ(double(b.lon[16]), NormalizeDegrees(double(b.lon[11]) + 180.0));
  EXPECT_EQ(double(b.lat[16]), -double(b.lat[11]));
  EXPECT_EQ(double(b.speed[16]), double(b.speed[11]));
  EXPECT_LT(double(a.speed[11]), 0.0);  // the mean node always moves backwards
}

TEST_F(ChartCalcTest, DateOutsideTheEphemerisIsRefused) {
  for (const char* when : {"02.01.1800 12:00:00", "01.01.2400 00:00:00", "01.01.1750 00:00:00"}) {
    Shown().clear();
    ChartRecord rec = Birth(when, 0, 55.45, 37.37, 3);
    for (int k = 0; k < 32; ++k) rec.lon[k] = -7.0;  // nothing may be written
    EXPECT_EQ(CalculateChart(rec, nullptr, 1, {}), -1) << when;
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_NE(Shown()[0].find("DEp"), std::string::npos);  // the key while no texts load
    for (int k = 0; k < 32; ++k) EXPECT_EQ(double(rec.lon[k]), -7.0);
  }
  ChartRecord first = Birth("03.01.1800 12:00:00", 0, 55.45, 37.37, 3);
  EXPECT_EQ(CalculateChart(first, nullptr, 1, {}), 0);
}

TEST_F(ChartCalcTest, PolarPlacidusSwitchesToPorphyry) {
  ChartRecord rec = Birth("05.03.1961 14:07:00", -3, 70.00, 37.37, 3);
  ASSERT_EQ(CalculateChart(rec, nullptr, 1, {}), 0);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0], "virhous");
  EXPECT_EQ(rec.house_system, 10);
}

TEST_F(ChartCalcTest, UnknownTimeChartHasEqualHousesFromAries) {
  ChartRecord rec = Birth("05.03.1961 14:07:00", -3, 55.45, 37.37, 8);
  ASSERT_EQ(CalculateChart(rec, nullptr, 1, {}), 0);
  EXPECT_FALSE(HasHouses(rec));
  for (int k = 1; k <= 12; ++k) EXPECT_EQ(double(rec.lon[16 + k]), 30.0 * (k - 1));
}

TEST_F(ChartCalcTest, SelenaAndProserpinaAtTheirEpochs) {
  EXPECT_NEAR(SelenaPosition(ParseDateTime("01.01.1900 00:00:00", false)).lon_deg,
              139.16666667, 1e-9);
  EXPECT_NEAR(SelenaPosition(ParseDateTime("01.01.1900 00:00:00", false)).speed_deg,
              51.430952381 / 365.25, 1e-15);
  EXPECT_NEAR(ProserpinaPosition(ParseDateTime("01.01.1984 00:00:00", false)).lon_deg,
              (1984 - 1983.109514) * 0.4918032787 + 210, 1e-9);
  // The rate changes with the calendar year: 1918 and 1919 fall on different lines.
  BodyPosition p1918 = ProserpinaPosition(ParseDateTime("31.12.1918 23:00:00", false));
  BodyPosition p1919 = ProserpinaPosition(ParseDateTime("01.01.1919 00:00:00", false));
  EXPECT_DOUBLE_EQ(p1918.speed_deg, 0.4918032787 / 365.25);
  EXPECT_DOUBLE_EQ(p1919.speed_deg, 0.4617524046 / 365.25);
  // Selena a year later: one yearly step further; noon of 1 January is half a day on.
  EXPECT_NEAR(Gap(SelenaPosition(ParseDateTime("01.01.1901 00:00:00", false)).lon_deg,
                  139.16666667 + 51.430952381),
              0, 1e-9);
  EXPECT_NEAR(Gap(SelenaPosition(ParseDateTime("01.01.1901 12:00:00", false)).lon_deg,
                  139.16666667 + 51.430952381 * (1 + 0.5 / 365.25)),
              0, 1e-9);
  // In a chart they carry no latitude.
  ChartRecord rec = Birth("01.01.1984 00:00:00", 0, 55.45, 37.37, 3);
  ASSERT_EQ(CalculateChart(rec, nullptr, 1, {}), 0);
  EXPECT_NEAR(rec.lon[14], 210.438, 0.001);
  EXPECT_EQ(double(rec.lat[12]), 0.0);
  EXPECT_EQ(double(rec.lat[14]), 0.0);
}

TEST_F(ChartCalcTest, HeliocentricMode) {
  ChartOptions helio;
  helio.heliocentric = true;
  ChartRecord geo = Birth("05.03.1961 14:07:00", -3, 55.45, 37.37, 3);
  ChartRecord hel = geo;
  ASSERT_EQ(CalculateChart(geo, nullptr, 1, {}), 0);
  ASSERT_EQ(CalculateChart(hel, nullptr, 1, helio), 0);
  // Body 1 becomes the Earth, opposite the geocentric Sun.
  EXPECT_NEAR(Gap(hel.lon[1], geo.lon[1] + 180.0), 0, 1e-9);
  EXPECT_EQ(double(hel.lon[2]), double(geo.lon[2]));   // the Moon stays geocentric
  EXPECT_EQ(double(hel.lon[11]), double(geo.lon[11])); // so do the node and Selena
  EXPECT_GT(Gap(double(hel.lon[5]), double(geo.lon[5])), 1.0);
  EXPECT_GT(double(hel.speed[3]), 0.0);        // Mercury never goes back seen from the Sun
}

TEST_F(ChartCalcTest, LunarDayIsComputedWhenAsked) {
  ChartRecord rec = Birth("05.03.1961 14:07:00", -3, 55.45, 37.37, 3);
  rec.lunar_day = 0;
  ASSERT_EQ(CalculateChart(rec, nullptr, 1, {}), 0);
  // New moon of 16 February 1961; 17 days on, the 17th to 19th lunar day.
  EXPECT_GE(rec.lunar_day, 17);
  EXPECT_LE(rec.lunar_day, 19);
  ChartRecord same = Birth("05.03.1961 14:07:00", -3, 55.45, 37.37, 3);
  same.lunar_day = 0;
  CalculateChart(same, nullptr, 1, {});
  EXPECT_EQ(same.lunar_day, rec.lunar_day);
  // A heliocentric chart of the same moment has the same lunar day (not the one of
  // the Moon's conjunction with the Earth, half a month off).
  ChartOptions helio;
  helio.heliocentric = true;
  ChartRecord hel = Birth("05.03.1961 14:07:00", -3, 55.45, 37.37, 3);
  hel.lunar_day = 0;
  ASSERT_EQ(CalculateChart(hel, nullptr, 1, helio), 0);
  EXPECT_EQ(hel.lunar_day, rec.lunar_day);
}

TEST_F(ChartCalcTest, OneBodyOutsideTheNumberingIsZero) {
  for (int body : {0, 16, 17, -3, 40}) {
    BodyPosition p = CalcOneBody(2451545.0, body, {});
    EXPECT_EQ(p.lon_deg, 0.0);
    EXPECT_EQ(p.lat_deg, 0.0);
    EXPECT_EQ(p.speed_deg, 0.0);
  }
  // Positions only: the same longitude and latitude, no motion.
  BodyPosition full = CalcOneBody(2451545.3, 2, {});
  BodyPosition bare = CalcOneBody(2451545.3, 2, {}, false);
  EXPECT_NEAR(full.lon_deg, bare.lon_deg, 1e-12);
  EXPECT_NEAR(full.lat_deg, bare.lat_deg, 1e-12);
  EXPECT_EQ(bare.speed_deg, 0.0);
}

int g_asked = 0;
bool CountAndGoOn(const std::string&) {
  ++g_asked;
  return true;
}

// The first and last days of the span: the lunar-day search reaches past the files.
// It asks the user nothing and the day is "not available", never day 0 as a number.
TEST_F(ChartCalcTest, LunarDayAtTheEdgesOfTheSpanIsNotAvailable) {
  const MissingFileHandler old = SetMissingFileHandler(&CountAndGoOn);
  g_asked = 0;
  for (double jd : {2378499.0, 2597640.0}) {
    ChartRecord rec = Birth("01.01.2000 12:00:00", 0, 55.45, 37.37, 3);
    SetBirthMoment(rec, jd, 0.0);
    rec.lunar_day = 0;
    ASSERT_EQ(CalculateChart(rec, nullptr, 1, {}), 0);
    EXPECT_EQ(rec.lunar_day, 0);
    EXPECT_EQ(rec.missing_bodies, 0);  // the bodies themselves are in the files
  }
  EXPECT_EQ(g_asked, 0);
  // Forty days in, the whole search lies in the files again.
  ChartRecord inside = Birth("12.02.1800 12:00:00", 0, 55.45, 37.37, 3);
  inside.lunar_day = 0;
  ASSERT_EQ(CalculateChart(inside, nullptr, 1, {}), 0);
  EXPECT_GE(inside.lunar_day, 1);
  EXPECT_LE(inside.lunar_day, 30);
  EXPECT_EQ(g_asked, 0);
  SetMissingFileHandler(old);
}

// "Продолжить" in the missing-file dialog: the chart is made, the bodies of the
// missing file are marked and keep no position; nothing derived from them is shown.
TEST_F(ChartCalcTest, BodiesOfAMissingFileAreMarkedNotComputed) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "kv_chart_missing";
  fs::create_directories(dir);
  for (const char* f : {"sepl_18.se1", "semo_18.se1", "seas_18.se1"})
    fs::copy_file(fs::path(KV_EPHE_DIR) / f, dir / f, fs::copy_options::overwrite_existing);
  // A planet file of 1700 holding Mercury alone takes the planets' slot ...
  testing::SyntheticBody mercury;
  mercury.number = 2;
  mercury.value_bytes = 4;
  mercury.jd_first = 2341972.5;
  mercury.halves = {{{1600000000, 10, 2, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
                    {{1600000040, 10, 2, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}};
  const auto bytes = testing::WriteFile(true, mercury.jd_first, mercury.jd_first + 64, {mercury});
  std::ofstream(dir / "sepl_12.se1", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(InitEphemeris(dir.string()).ok());
  double v[6];
  ASSERT_TRUE(EvaluateBody(mercury.jd_first + 16, kIntMercury, 0, false, v).ok());
  // ... and the planets' file of the chart is gone by the time the chart is made.
  fs::remove(dir / "sepl_18.se1");
  const MissingFileHandler old = SetMissingFileHandler(&CountAndGoOn);
  g_asked = 0;
  ChartRecord rec = Birth("15.06.1990 12:00:00", -3, 55.45, 37.37, 3);
  rec.lunar_day = 0;
  EXPECT_EQ(CalculateChart(rec, nullptr, 1, {}), 0);
  SetMissingFileHandler(old);
  EXPECT_GT(g_asked, 0);
  const uint32_t missing = MissingBodyMask(rec);
  // The Moon and Chiron are seen from the Earth, which comes from the planets' file.
  for (int b : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13}) {
    EXPECT_TRUE((missing >> (b - 1)) & 1u) << b;
    EXPECT_FALSE(PointComputed(rec, b)) << b;
    EXPECT_EQ(double(rec.lon[b]), 0.0) << b;
  }
  // Mean node and apogee, Selena and Proserpina need no file.
  for (int b : {11, 12, 14, 15, 16}) EXPECT_TRUE(PointComputed(rec, b)) << b;
  EXPECT_TRUE(PointComputed(rec, kFirstCusp));        // Placidus needs no Sun
  EXPECT_FALSE(PointComputed(rec, kFortuneSlot));     // Sun and Moon
  EXPECT_FALSE(PointComputed(rec, kSecondLotSlot));   // Mars and Saturn
  EXPECT_EQ(rec.lunar_day, 0);                        // needs the Sun
  const ChartSummary summary = SummarizeChart(rec);
  EXPECT_EQ(summary.body_sign[1], 0);
  EXPECT_NE(summary.body_sign[12], 0);
  // A chart with all its files carries no mark: the record stays as it always was.
  ASSERT_TRUE(InitEphemeris(KV_EPHE_DIR).ok());
  ChartRecord full = Birth("15.06.1990 12:00:00", -3, 55.45, 37.37, 3);
  ASSERT_EQ(CalculateChart(full, nullptr, 1, {}), 0);
  EXPECT_EQ(full.missing_bodies, 0);
  fs::remove_all(dir);
}

// A damaged file stops the chart with the message naming the body and the file.
TEST_F(ChartCalcTest, DamagedFileGivesAMessageAndNoChart) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "kv_chart_damaged";
  fs::create_directories(dir);
  for (const char* f : {"sepl_18.se1", "semo_18.se1", "seas_18.se1"})
    fs::copy_file(fs::path(KV_EPHE_DIR) / f, dir / f, fs::copy_options::overwrite_existing);
  {
    // The Moon's segment of 1990 loses a coefficient's high byte.
    std::fstream moon(dir / "semo_18.se1", std::ios::in | std::ios::out | std::ios::binary);
    ASSERT_TRUE(InitEphemeris(dir.string(), false).ok());
    double v[6];
    ASSERT_TRUE(EvaluateBody(2448058.0, kIntMoon, 0, false, v).ok());
    const EphemerisBody& b = Engine().bodies[kIntMoon];
    const long k = static_cast<long>((2448058.0 - b.header.jd_first) / b.header.segment_days);
    const auto& file = Engine().file_slots[1].bytes;
    const size_t entry = b.header.index_pos + 3 * k;
    const size_t seg = file[entry] | (file[entry + 1] << 8) | (file[entry + 2] << 16);
    moon.seekp(static_cast<std::streamoff>(seg + 5));  // inside the first 4-byte value
    const char junk = static_cast<char>(file[seg + 5] ^ 0x40);
    moon.write(&junk, 1);
  }
  const TextLookupFn texts = SetTextLookup([](std::string_view key) -> std::string {
    if (key == "KrEph") return "no chart: %s. %s";
    if (key == "EphDam") return "damaged: %s";
    return std::string(key);
  });
  for (bool known_releases : {true, false}) {
    const Status start = InitEphemeris(dir.string(), known_releases);
    if (known_releases) {  // the release digest finds it when the file is opened
      EXPECT_FALSE(start.ok());
      continue;
    }
    ASSERT_TRUE(start.ok());
    ChartRecord rec = Birth("15.06.1990 12:00:00", -3, 55.45, 37.37, 3);
    Shown().clear();
    EXPECT_EQ(CalculateChart(rec, nullptr, 1, {}), kChartDamagedEphemeris);
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_NE(Shown()[0].find("no chart: "), std::string::npos) << Shown()[0];
    EXPECT_NE(Shown()[0].find("damaged: " + (dir / "semo_18.se1").string()), std::string::npos)
        << Shown()[0];
  }
  SetTextLookup(texts);
  ASSERT_TRUE(InitEphemeris(KV_EPHE_DIR).ok());
  fs::remove_all(dir);
}

}  // namespace
}  // namespace kv
