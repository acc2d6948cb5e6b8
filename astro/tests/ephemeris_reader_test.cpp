#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "astro/calendar.h"
#include "astro/ephemeris/chebyshev.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/ephemeris/ephemeris_format.h"
#include "astro/tests/ephemeris_writer.h"

namespace kv {
namespace {

using testing::SyntheticBody;
using testing::WriteFile;

SyntheticBody SimpleBody() {
  SyntheticBody b;
  b.halves = {{{10, -3, 2, 0}, {-7, 1, 0, 0}, {4, 0, 0, -1}},
              {{12, -2, 1, 0}, {-6, 2, 0, 0}, {5, 1, 0, 0}}};
  return b;
}

TEST(EphemerisFormat, BothByteOrdersDecodeAlike) {
  for (bool little : {true, false}) {
    const auto bytes = WriteFile(little, 2451545.0, 2451609.0, {SimpleBody()});
    FileHeader h;
    const DecodeStatus st = DecodeHeader(bytes, false, &h);
    ASSERT_TRUE(st.ok) << st.detail;
    EXPECT_EQ((h.order_flags & kOrderLittleEndian) != 0, little);
    EXPECT_EQ((h.order_flags & kOrderReorder) != 0, !little);  // this machine is little-endian
    ASSERT_EQ(h.bodies.size(), 1u);
    EXPECT_EQ(h.bodies[0].coeff_count, 4);
    EXPECT_DOUBLE_EQ(h.bodies[0].segment_days, 32.0);
    const ByteImage image(bytes.data(), bytes.size(), little);
    double c[12];
    ASSERT_TRUE(DecodeSegment(image, h.bodies[0], 1, c).ok);
    const double unit = 1.0 / 2 * 1e-9;  // norm 1
    EXPECT_DOUBLE_EQ(c[0], 12 * unit);
    EXPECT_DOUBLE_EQ(c[1], -2 * unit);
    EXPECT_DOUBLE_EQ(c[4], -6 * unit);
    EXPECT_DOUBLE_EQ(c[9], 1 * unit);
  }
}

TEST(EphemerisFormat, SixGroupHeaderWithNibblesAndPairs) {
  // c0 = 0x80 (six groups), counts: 1 four-byte, 1 three-byte, 0, 0, 3 nibbles, 5 pairs.
  const std::vector<uint8_t> b = {0x80, 0x11, 0x00, 0x35,
                                  0x01, 0x00, 0x00, 0x00,   // 4-byte value 1 (little)
                                  0x02, 0x00, 0x00,         // 3-byte value 2
                                  0x34, 0x70,               // nibbles 3, 4, 7
                                  0x1B, 0x80};              // pairs 0,1,2,3 | 2
  const ByteImage image(b.data(), b.size(), true);
  size_t pos = 0;
  double c[12];
  const double norm = 2.0;
  ASSERT_TRUE(DecodeBlock(image, &pos, 12, norm, c).ok);
  EXPECT_EQ(pos, b.size());
  const double unit = norm / 2 * 1e-9;
  const double expect[11] = {-1, 1, -2, 2, -4, 0, -1, 1, -2, 1, 0};
  for (int i = 0; i < 10; ++i) EXPECT_DOUBLE_EQ(c[i], expect[i] * unit) << i;
  EXPECT_EQ(c[11], 0.0);
}

TEST(EphemerisFormat, TooManyCoefficientsIsReported) {
  const std::vector<uint8_t> b = {0x00, 0x05, 1, 2, 3, 4, 5};
  const ByteImage image(b.data(), b.size(), true);
  size_t pos = 0;
  double c[4];
  const DecodeStatus st = DecodeBlock(image, &pos, 4, 1.0, c);
  EXPECT_FALSE(st.ok);
  EXPECT_TRUE(st.too_many_coefficients);
  EXPECT_EQ(st.found_count, 5);
  EXPECT_EQ(st.allowed_count, 4);
}

TEST(EphemerisFormat, EveryTruncationIsDamageNotACrash) {
  const auto bytes = WriteFile(false, 2451545.0, 2451609.0, {SimpleBody()});
  FileHeader full;
  ASSERT_TRUE(DecodeHeader(bytes, false, &full).ok);
  for (size_t n = 0; n < bytes.size(); ++n) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + n);
    FileHeader h;
    const DecodeStatus st = DecodeHeader(cut, false, &h);
    if (!st.ok) continue;
    // A header that fits still has segments the image lacks.
    const ByteImage image(cut.data(), cut.size(), false);
    double c[12];
    EXPECT_FALSE(DecodeSegment(image, h.bodies[0], 1, c).ok) << n;
  }
}

TEST(EphemerisFormat, BadCountsAndOffsetsAreDamage) {
  auto bytes = WriteFile(true, 2451545.0, 2451609.0, {SimpleBody()});
  FileHeader h;
  // Body count sits after 3 text lines, the test value, 8 bytes and two doubles.
  const size_t text = std::string("VERSION 1\r\nname.se1 \r\nnotice\r\n").size();
  auto bad = bytes;
  bad[text + 4 + 8 + 16] = 15;
  EXPECT_FALSE(DecodeHeader(bad, false, &h).ok);
  bad = bytes;
  bad[text + 4 + 8 + 16] = 0;
  EXPECT_FALSE(DecodeHeader(bad, false, &h).ok);
  bad = bytes;
  bad[text] = 0x11;  // test value spoilt
  EXPECT_FALSE(DecodeHeader(bad, false, &h).ok);
  ASSERT_TRUE(DecodeHeader(bytes, false, &h).ok);
  // A segment index pointing past the file.
  const ByteImage image(bytes.data(), bytes.size(), true);
  BodyHeader far = h.bodies[0];
  far.index_pos = static_cast<uint32_t>(bytes.size() - 2);
  double c[12];
  EXPECT_FALSE(DecodeSegment(image, far, 0, c).ok);
  EXPECT_FALSE(DecodeSegment(image, h.bodies[0], 100000, c).ok);
}

TEST(Chebyshev, ValueAndDerivativeOfKnownPolynomials) {
  // Series with halved first coefficient: c0/2 + c1 T1 + c2 T2 + c3 T3.
  const double c[4] = {2.0, 0.5, -0.25, 0.125};
  for (double t = -1; t <= 1; t += 0.125) {
    const double t2 = 2 * t * t - 1, t3 = 4 * t * t * t - 3 * t;
    EXPECT_NEAR(ChebyshevValue(t, c, 4), 1.0 + 0.5 * t - 0.25 * t2 + 0.125 * t3, 1e-15);
    EXPECT_NEAR(ChebyshevDerivative(t, c, 4), 0.5 - 0.25 * 4 * t + 0.125 * (12 * t * t - 3),
                1e-14);
  }
}

class RealFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    const EngineStatus s = InitEphemeris(KV_EPHE_DIR);
    ASSERT_TRUE(s.ok) << "ephemeris files missing in " << KV_EPHE_DIR;
  }
};

TEST_F(RealFiles, StartsWithoutTheSingleAsteroidFile) {
  EXPECT_TRUE(Engine().initialised);
  EXPECT_TRUE(Engine().file_slots[0].open());
  EXPECT_TRUE(Engine().file_slots[1].open());
  EXPECT_TRUE(Engine().file_slots[2].open());
  EXPECT_FALSE(std::filesystem::exists(std::string(KV_EPHE_DIR) + "/se00010s.se1") &&
               !Engine().file_slots[3].open());
}

TEST_F(RealFiles, ContinuousAcrossSegmentsAndVelocityIsTheDerivative) {
  for (int body : {kIntEmb, kIntMoon, kIntMercury, 5, kIntPluto, kIntSun, kIntChiron, kIntCeres}) {
    const EphemerisBody& b = Engine().bodies[body];
    double dummy[6];
    ASSERT_EQ(EvaluateBody(2451545.0, body, kFlagSpeed, false, dummy), 0);
    const double boundary = b.header.jd_first +
                            std::ceil((2451545.0 - b.header.jd_first) / b.header.segment_days) *
                                b.header.segment_days;
    double before[6], after[6];
    ASSERT_EQ(EvaluateBody(boundary, body, kFlagSpeed, false, before), 0);
    const double seg_first = Engine().bodies[body].seg_first;
    ASSERT_EQ(EvaluateBody(boundary + 1e-9, body, kFlagSpeed, false, after), 0);
    EXPECT_NE(seg_first, Engine().bodies[body].seg_first) << body;  // crossed a segment
    const double r = std::sqrt(before[0] * before[0] + before[1] * before[1] + before[2] * before[2]);
    // Segments are fitted one by one: they meet within a few metres per AU (< 0.005").
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(before[i], after[i], std::max(2e-8 * r, 5e-9)) << body;
    const double h = 0.001;
    double p1[6], p2[6], mid[6];
    const double t = boundary + 3.3;
    ASSERT_EQ(EvaluateBody(t - h, body, 0, false, p1), 0);
    ASSERT_EQ(EvaluateBody(t + h, body, 0, false, p2), 0);
    ASSERT_EQ(EvaluateBody(t, body, kFlagSpeed, false, mid), 0);
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(mid[i + 3], (p2[i] - p1[i]) / (2 * h), 1e-9 + 1e-6 * std::fabs(mid[i + 3]))
          << body;
    EXPECT_EQ(p1[3], 0.0);  // no velocity unless asked for
  }
}

TEST_F(RealFiles, SegmentEndBelongsToTheLoadedSegment) {
  const EphemerisBody& moon = Engine().bodies[kIntMoon];
  double v[6];
  ASSERT_EQ(EvaluateBody(2451545.0, kIntMoon, 0, false, v), 0);
  const double end = moon.seg_last, start = moon.seg_first;
  ASSERT_EQ(EvaluateBody(end, kIntMoon, 0, false, v), 0);
  EXPECT_EQ(moon.seg_first, start);
  ASSERT_EQ(InitEphemeris(KV_EPHE_DIR).ok, true);
  ASSERT_EQ(EvaluateBody(end, kIntMoon, 0, false, v), 0);
  EXPECT_EQ(Engine().bodies[kIntMoon].seg_first, end);
}

TEST_F(RealFiles, RangeCheckBounds) {
  EXPECT_EQ(EphemerisDateInRange(2378499.0), 0);
  EXPECT_EQ(EphemerisDateInRange(2597640.0), 0);
  EXPECT_EQ(EphemerisDateInRange(2378498.9), 1);
  EXPECT_EQ(EphemerisDateInRange(2597640.1), 1);
}

TEST(EphemerisFiles, NamesByYear) {
  EXPECT_EQ(EphemerisFileNameFor(DateToJulianDayAt0h(1, 1, 1800), kIntMercury), "sepl_18.se1");
  EXPECT_EQ(EphemerisFileNameFor(DateToJulianDayAt0h(31, 12, 1799), kIntSun), "sepl_12.se1");
  EXPECT_EQ(EphemerisFileNameFor(DateToJulianDayAt0h(1, 6, -1), kIntEmb), "seplm06.se1");
  EXPECT_EQ(EphemerisFileNameFor(DateToJulianDayAt0h(1, 6, 2400), kIntMoon), "semo_24.se1");
  EXPECT_EQ(EphemerisFileNameFor(DateToJulianDayAt0h(1, 6, 1900), kIntChiron), "seas_18.se1");
  EXPECT_EQ(EphemerisFileNameFor(2451545.0, 10010), "se00010s.se1");
}

TEST_F(RealFiles, SwitchesToAFileOfAnotherEpoch) {
  // A synthetic planet file for 1200..1799 in a scratch directory next to copies of
  // the start-up files.
  const auto dir = std::filesystem::temp_directory_path() / "kv_astro_switch";
  std::filesystem::create_directories(dir);
  for (const char* f : {"sepl_18.se1", "semo_18.se1", "seas_18.se1"})
    std::filesystem::copy_file(std::string(KV_EPHE_DIR) + "/" + f, dir / f,
                               std::filesystem::copy_options::overwrite_existing);
  const double first = DateToJulianDayAt0h(1, 1, 1700);
  SyntheticBody b = SimpleBody();
  b.number = kIntMercury;
  b.jd_first = first;
  const auto bytes = WriteFile(true, first, first + 64, {b});
  std::ofstream(dir / "sepl_12.se1", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(InitEphemeris(dir.string()).ok);
  double v[6];
  ASSERT_EQ(EvaluateBody(first + 16, kIntMercury, 0, false, v), 0);
  // Middle of the first segment: t = 0, value c0/2 - c2.
  EXPECT_NEAR(v[0], (10 / 2.0 - 2) * 0.5e-9, 1e-20);
  EXPECT_EQ(Engine().file_slots[0].name, (dir / "sepl_12.se1").string());
  // A date of the start-up span switches back.
  ASSERT_EQ(EvaluateBody(2451545.0, kIntMercury, 0, false, v), 0);
  EXPECT_GT(std::fabs(v[0]), 1e-3);
  // No file for 600 BC: zero position, status 1.
  SetMissingFileHandler([](const std::string&) { return true; });
  EXPECT_EQ(EvaluateBody(DateToJulianDayAt0h(1, 1, -600), kIntMoon, 0, false, v), 1);
  EXPECT_EQ(v[0], 0.0);
  SetMissingFileHandler(nullptr);
  std::filesystem::remove_all(dir);
}

TEST(EphemerisDamage, TruncatedStartupFileEndsWithTheMessage) {
  const auto dir = std::filesystem::temp_directory_path() / "kv_astro_damaged";
  std::filesystem::create_directories(dir);
  const auto bytes = WriteFile(true, 2378496.5, 2597641.5, {SimpleBody()});
  for (const char* f : {"sepl_18.se1", "semo_18.se1", "seas_18.se1"})
    std::ofstream(dir / f, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), 60);
  const EngineStatus s = InitEphemeris(dir.string());
  EXPECT_FALSE(s.ok);
  EXPECT_FALSE(s.message.empty());
  std::filesystem::remove_all(dir);
  const EngineStatus missing = InitEphemeris(dir.string());
  EXPECT_FALSE(missing.ok);
}

}  // namespace
}  // namespace kv
