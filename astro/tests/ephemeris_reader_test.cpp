#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <vector>

#include "astro/ephemeris/chebyshev.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/ephemeris/ephemeris_format.h"
#include "astro/tests/ephemeris_writer.h"
#include "common/calendar.h"
#include "common/tests/damaged_copies.h"

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

// A Mercury 0.4 AU from the barycentre, its two segments meeting exactly.
SyntheticBody PlanetBody() {
  SyntheticBody b;
  b.number = kIntMercury;
  b.value_bytes = 4;
  b.halves = {{{1600000000, 10, 2, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
              {{1600000040, 10, 2, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}};
  return b;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(EphemerisFormat, BothByteOrdersDecodeAlike) {
  for (bool little : {true, false}) {
    const auto bytes = WriteFile(little, 2451545.0, 2451609.0, {SimpleBody()});
    FileHeader h;
    const Status st = DecodeHeader(bytes, false, &h);
    ASSERT_TRUE(st.ok()) << st.message();
    EXPECT_EQ((h.order_flags & kOrderLittleEndian) != 0, little);
    EXPECT_EQ((h.order_flags & kOrderReorder) != 0, !little);  // this machine is little-endian
    ASSERT_EQ(h.bodies.size(), 1u);
    EXPECT_EQ(h.bodies[0].coeff_count, 4);
    EXPECT_DOUBLE_EQ(h.bodies[0].segment_days, 32.0);
    const ByteImage image(bytes.data(), bytes.size(), little);
    double c[12];
    ASSERT_TRUE(DecodeSegment(image, h, 0, 1, c).ok());
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
  ASSERT_TRUE(DecodeBlock(image, &pos, 12, norm, c).ok());
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
  CoefficientOverflow overflow;
  const Status st = DecodeBlock(image, &pos, 4, 1.0, c, &overflow);
  EXPECT_FALSE(st.ok());
  EXPECT_EQ(st.code(), StatusCode::kTooLarge);
  EXPECT_EQ(overflow.found, 5);
  EXPECT_EQ(overflow.allowed, 4);
}

TEST(EphemerisFormat, EveryTruncationOrExtensionIsDamage) {
  const auto bytes = WriteFile(false, 2451545.0, 2451609.0, {SimpleBody()});
  FileHeader full;
  ASSERT_TRUE(DecodeHeader(bytes, false, &full).ok());
  for (size_t n = 0; n < bytes.size(); ++n) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + n);
    FileHeader h;
    EXPECT_FALSE(DecodeHeader(cut, false, &h).ok()) << n;  // the length field tells
  }
  auto longer = bytes;
  longer.push_back(0);
  EXPECT_FALSE(DecodeHeader(longer, false, &full).ok());
}

TEST(EphemerisFormat, ChecksumGuardsEveryByteBeforeIt) {
  for (bool little : {true, false}) {
    const auto bytes = WriteFile(little, 2451545.0, 2451609.0, {SimpleBody(), PlanetBody()});
    FileHeader h;
    ASSERT_TRUE(DecodeHeader(bytes, false, &h).ok());
    // Text lines, test value, length, source number, dates, body list, the checksum.
    for (size_t i = 0; i < h.checksum_end; ++i)
      for (uint8_t mask : {0x01, 0x80, 0xFF}) {
        auto bad = bytes;
        bad[i] ^= mask;
        FileHeader g;
        EXPECT_FALSE(DecodeHeader(bad, false, &g).ok()) << i << " " << int(mask);
      }
  }
}

TEST(EphemerisFormat, HeaderCrcIsTheBitwiseCrcAtEveryLengthAndOffset) {
  const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(HeaderCrc32(check, sizeof check), 0xFC891918u);  // the CRC's check value
  std::vector<uint8_t> bytes(100);
  uint32_t x = 12345;
  for (auto& b : bytes) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 24);
  for (size_t from = 0; from < 8; ++from)
    for (size_t n = 0; from + n <= bytes.size(); ++n) {
      ASSERT_EQ(HeaderCrc32(bytes.data() + from, n), testing::BitwiseCrc32(bytes.data() + from, n))
          << from << " " << n;
    }
  // Going on from a crc already made: the same as one pass.
  const uint32_t first = HeaderCrc32(bytes.data(), 37);
  EXPECT_EQ(HeaderCrc32(bytes.data() + 37, 63, first), HeaderCrc32(bytes.data(), 100));
}

TEST(EphemerisFormat, ChecksumOfTheInstalledFilesIsTheHeaderCrc) {
  for (const char* name : {"sepl_18.se1", "semo_18.se1", "seas_18.se1"}) {
    const auto bytes = ReadBytes(std::string(KV_EPHE_DIR) + "/" + name);
    ASSERT_FALSE(bytes.empty()) << name;
    FileHeader h;
    const Status st = DecodeHeader(bytes, false, &h);
    ASSERT_TRUE(st.ok()) << name << ": " << st.message();
    EXPECT_EQ(h.checksum, testing::BitwiseCrc32(bytes.data(), h.checksum_end - 4)) << name;
    EXPECT_TRUE(CheckKnownRelease(bytes, h).ok()) << name;
    // A byte changed far behind the header: the header reads, the release digest differs.
    auto bad = bytes;
    bad[bad.size() - 7] ^= 0x10;
    ASSERT_TRUE(DecodeHeader(bad, false, &h).ok());
    EXPECT_FALSE(CheckKnownRelease(bad, h).ok()) << name;
  }
}

// Offsets of the constants of the first body (after the text, the fixed fields, the
// body list, the checksum and the five general constants).
size_t FirstBodyAt(size_t bodies) {
  return std::string("VERSION 1\r\nname.se1 \r\nnotice\r\n").size() + 4 + 8 + 16 + 2 +
         2 * bodies + 4 + 40;
}

TEST(EphemerisFormat, ImplausibleBodyConstantsAreDamage) {
  SyntheticBody rotated = PlanetBody();
  rotated.flags = kCoeffRotated;
  rotated.p = 0.05;
  rotated.q = 0.2;
  const auto good = WriteFile(true, 2451545.0, 2451609.0, {rotated});
  FileHeader h;
  ASSERT_TRUE(DecodeHeader(good, false, &h).ok());
  EXPECT_EQ(h.bodies[0].segment_count, 2);
  const size_t at = FirstBodyAt(1);
  auto with_double = [&](int field, double v) {  // field 0..9 of the ten doubles
    auto bad = good;
    std::memcpy(&bad[at + 10 + 8 * field], &v, 8);
    return bad;
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  auto byte_at = [&](size_t off, uint8_t v) {
    auto bad = good;
    bad[at + off] = v;
    return bad;
  };
  const Case cases[] = {
      {"unknown flag", byte_at(4, kCoeffRotated | 16)},
      {"ellipse without rotation", byte_at(4, kCoeffEllipse)},
      {"no coefficients", byte_at(5, 0)},
      {"more coefficients than a block holds", byte_at(5, 91)},
      {"zero normalisation", [&] { auto b = good; std::memset(&b[at + 6], 0, 4); return b; }()},
      {"last day before first", with_double(1, 2451500.0)},
      {"segments not whole", with_double(2, 32.001)},
      {"segment shorter than a day", with_double(2, 0.5)},
      {"NaN first day", with_double(0, std::nan(""))},
      {"reference epoch outside the data", with_double(3, 2400000.0)},
      {"frame tilted past 90 degrees", with_double(6, 1.5)},
      {"rate of the frame", with_double(5, 1e6)},
      {"infinite perihelion", with_double(8, INFINITY)},
      {"index not after the header", [&] { auto b = good; b[at] += 3; return b; }()},
  };
  for (const Case& c : cases) {
    FileHeader g;
    const Status st = DecodeHeader(c.bytes, false, &g);
    EXPECT_TRUE(st.IsCorruption()) << c.what;
  }
}

TEST(EphemerisFormat, SegmentsMustTileTheFile) {
  const auto bytes = WriteFile(true, 2451545.0, 2451609.0, {SimpleBody(), PlanetBody()});
  FileHeader h;
  ASSERT_TRUE(DecodeHeader(bytes, false, &h).ok());
  const ByteImage image(bytes.data(), bytes.size(), true);
  double c[12];
  for (int order = 0; order < 2; ++order)
    for (long k = 0; k < 2; ++k) EXPECT_TRUE(DecodeSegment(image, h, order, k, c).ok()) << order << k;
  // An index entry moved by one byte: its segment no longer ends where the next begins.
  for (size_t entry = 0; entry < 4; ++entry) {
    auto bad = bytes;
    const size_t field = h.bodies[0].index_pos + 3 * entry;
    bad[field] += 1;
    const ByteImage damaged(bad.data(), bad.size(), true);
    const int order = static_cast<int>(entry / 2);
    const long k = static_cast<long>(entry % 2);
    EXPECT_FALSE(DecodeSegment(damaged, h, order, k, c).ok()) << entry;
  }
  // A block count changed: the segment's length changes with it.
  auto bad = bytes;
  uint64_t seg;
  ASSERT_TRUE(image.Unsigned(h.bodies[0].index_pos, 3, &seg));
  bad[seg + 1] = 3;  // x block of body 0, segment 0: 3 one-byte values instead of 4
  const ByteImage damaged(bad.data(), bad.size(), true);
  EXPECT_FALSE(DecodeSegment(damaged, h, 0, 0, c).ok());
}

TEST(EphemerisFormat, BadCountsAndOffsetsAreDamage) {
  auto bytes = WriteFile(true, 2451545.0, 2451609.0, {SimpleBody()});
  FileHeader h;
  // Body count sits after 3 text lines, the test value, 8 bytes and two doubles.
  const size_t text = std::string("VERSION 1\r\nname.se1 \r\nnotice\r\n").size();
  auto bad = bytes;
  bad[text + 4 + 8 + 16] = 15;
  EXPECT_FALSE(DecodeHeader(bad, false, &h).ok());
  bad = bytes;
  bad[text + 4 + 8 + 16] = 0;
  EXPECT_FALSE(DecodeHeader(bad, false, &h).ok());
  bad = bytes;
  bad[text] = 0x11;  // test value spoilt
  EXPECT_FALSE(DecodeHeader(bad, false, &h).ok());
  ASSERT_TRUE(DecodeHeader(bytes, false, &h).ok());
  const ByteImage image(bytes.data(), bytes.size(), true);
  double c[12];
  EXPECT_FALSE(DecodeSegment(image, h, 0, 100000, c).ok());
  EXPECT_FALSE(DecodeSegment(image, h, 0, -1, c).ok());
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

// The one-pass routine must give the very doubles of the two separate ones, for every
// length the files use and the degenerate ones, at the ends and inside the interval.
TEST(Chebyshev, OnePassEqualsSeparateRoutinesToTheBit) {
  uint64_t state = 0x9e3779b97f4a7c15ull;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<double>(state >> 11) / 9007199254740992.0;  // [0, 1)
  };
  double c[40];
  for (int n = 0; n <= 40; ++n) {
    for (int trial = 0; trial < 50; ++trial) {
      for (int j = 0; j < n; ++j) c[j] = (next() - 0.5) * std::ldexp(1.0, -3 * j);
      const double t = trial == 0 ? -1.0 : trial == 1 ? 1.0 : 2 * next() - 1;
      double value = -7, derivative = -7;
      ChebyshevValueAndDerivative(t, c, n, &value, &derivative);
      const double v = ChebyshevValue(t, c, n), d = ChebyshevDerivative(t, c, n);
      ASSERT_EQ(std::memcmp(&value, &v, sizeof v), 0) << "n=" << n << " t=" << t;
      ASSERT_EQ(std::memcmp(&derivative, &d, sizeof d), 0) << "n=" << n << " t=" << t;
    }
  }
  // The three axes side by side: each as the one-series routines give it, with the
  // blocks of a segment `stride` apart and only the first n summed.
  double xyz[3 * 40];
  for (int n = 0; n <= 40; ++n) {
    for (int trial = 0; trial < 20; ++trial) {
      const int stride = 40;
      for (double& x : xyz) x = (next() - 0.5) * 1e3;
      const double t = trial == 0 ? -1.0 : trial == 1 ? 1.0 : 2 * next() - 1;
      double value[3], derivative[3], value_only[3];
      ChebyshevXyz(t, xyz, stride, n, value, derivative);
      ChebyshevXyz(t, xyz, stride, n, value_only, nullptr);
      for (int axis = 0; axis < 3; ++axis) {
        const double v = ChebyshevValue(t, xyz + axis * stride, n);
        const double d = ChebyshevDerivative(t, xyz + axis * stride, n);
        ASSERT_EQ(std::memcmp(&value[axis], &v, sizeof v), 0) << "n=" << n << " axis " << axis;
        ASSERT_EQ(std::memcmp(&value_only[axis], &v, sizeof v), 0) << "n=" << n << " axis " << axis;
        ASSERT_EQ(std::memcmp(&derivative[axis], &d, sizeof d), 0) << "n=" << n << " axis " << axis;
      }
    }
  }
  // A constant has no slope; an empty series is zero.
  const double constant[1] = {3.0};
  double value = 0, derivative = 1;
  ChebyshevValueAndDerivative(0.3, constant, 1, &value, &derivative);
  EXPECT_EQ(value, 1.5);
  EXPECT_EQ(derivative, 0.0);
}

class RealFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    const Status s = InitEphemeris(KV_EPHE_DIR);
    ASSERT_TRUE(s.ok()) << "ephemeris files missing in " << KV_EPHE_DIR;
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
    ASSERT_TRUE(EvaluateBody(2451545.0, body, kFlagSpeed, false, dummy).ok());
    const double boundary = b.header.jd_first +
                            std::ceil((2451545.0 - b.header.jd_first) / b.header.segment_days) *
                                b.header.segment_days;
    double before[6], after[6];
    ASSERT_TRUE(EvaluateBody(boundary, body, kFlagSpeed, false, before).ok());
    const double seg_first = Engine().bodies[body].seg_first;
    ASSERT_TRUE(EvaluateBody(boundary + 1e-9, body, kFlagSpeed, false, after).ok());
    EXPECT_NE(seg_first, Engine().bodies[body].seg_first) << body;  // crossed a segment
    const double r = std::sqrt(before[0] * before[0] + before[1] * before[1] + before[2] * before[2]);
    // Segments are fitted one by one: they meet within a few metres per AU (< 0.005").
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(before[i], after[i], std::max(2e-8 * r, 5e-9)) << body;
    const double h = 0.001;
    double p1[6], p2[6], mid[6];
    const double t = boundary + 3.3;
    ASSERT_TRUE(EvaluateBody(t - h, body, 0, false, p1).ok());
    ASSERT_TRUE(EvaluateBody(t + h, body, 0, false, p2).ok());
    ASSERT_TRUE(EvaluateBody(t, body, kFlagSpeed, false, mid).ok());
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(mid[i + 3], (p2[i] - p1[i]) / (2 * h), 1e-9 + 1e-6 * std::fabs(mid[i + 3]))
          << body;
    EXPECT_EQ(p1[3], 0.0);  // no velocity unless asked for
  }
}

TEST_F(RealFiles, SegmentEndBelongsToTheLoadedSegment) {
  const EphemerisBody& moon = Engine().bodies[kIntMoon];
  double v[6];
  ASSERT_TRUE(EvaluateBody(2451545.0, kIntMoon, 0, false, v).ok());
  const double end = moon.seg_last, start = moon.seg_first;
  ASSERT_TRUE(EvaluateBody(end, kIntMoon, 0, false, v).ok());
  EXPECT_EQ(moon.seg_first, start);
  ASSERT_EQ(InitEphemeris(KV_EPHE_DIR).ok(), true);
  ASSERT_TRUE(EvaluateBody(end, kIntMoon, 0, false, v).ok());
  EXPECT_EQ(Engine().bodies[kIntMoon].seg_first, end);
}

// Segments stay unpacked between dates: whatever was evaluated before, and however
// often a segment comes back, a body's vector equals the one a fresh engine gives.
TEST_F(RealFiles, KeptSegmentsGiveWhatAFreshEngineGives) {
  const int bodies[] = {kIntMoon, kIntMercury, kIntSun, kIntPluto, kIntChiron, kIntVesta};
  std::vector<double> dates;
  uint64_t state = 12345;
  for (int i = 0; i < 12; ++i) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    dates.push_back(kChartRangeFirst + static_cast<double>(state >> 40) / (1ull << 24) *
                                           (kChartRangeLast - kChartRangeFirst));
  }
  dates.push_back(dates[3] + 0.25);   // the same segments again at once
  dates.push_back(dates[0]);          // and after many others
  std::vector<double> fresh;
  for (double jd : dates)
    for (int body : bodies) {
      ASSERT_TRUE(InitEphemeris(KV_EPHE_DIR).ok());
      double v[6];
      ASSERT_TRUE(EvaluateBody(jd, body, kFlagSpeed, false, v).ok());
      fresh.insert(fresh.end(), v, v + 6);
    }
  ASSERT_TRUE(InitEphemeris(KV_EPHE_DIR).ok());
  for (int round = 0; round < 2; ++round) {
    size_t at = 0;
    for (double jd : dates)
      for (int body : bodies) {
        double v[6];
        ASSERT_TRUE(EvaluateBody(jd, body, round ? kFlagSpeed : 0, false, v).ok());
        for (int i = 0; i < 3; ++i)
          ASSERT_EQ(std::memcmp(&v[i], &fresh[at + i], sizeof v[i]), 0) << body << " at " << jd;
        for (int i = 3; i < 6 && round; ++i)
          ASSERT_EQ(std::memcmp(&v[i], &fresh[at + i], sizeof v[i]), 0) << body << " at " << jd;
        at += 6;
      }
  }
}

TEST_F(RealFiles, RangeCheckBounds) {
  EXPECT_TRUE(EphemerisDateInRange(2378499.0));
  EXPECT_TRUE(EphemerisDateInRange(2597640.0));
  EXPECT_FALSE(EphemerisDateInRange(2378498.9));
  EXPECT_FALSE(EphemerisDateInRange(2597640.1));
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
  SyntheticBody b = PlanetBody();
  b.jd_first = first;
  const auto bytes = WriteFile(true, first, first + 64, {b});
  std::ofstream(dir / "sepl_12.se1", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(InitEphemeris(dir.string()).ok());
  double before[6];
  ASSERT_TRUE(EvaluateBody(2451545.0, kIntMercury, 0, false, before).ok());
  double v[6];
  ASSERT_TRUE(EvaluateBody(first + 16, kIntMercury, 0, false, v).ok());
  // Middle of the first segment: t = 0, value c0/2 - c2.
  EXPECT_NEAR(v[0], (1600000000 / 2.0 - 2) * 0.5e-9, 1e-15);
  EXPECT_EQ(Engine().file_slots[0].name, (dir / "sepl_12.se1").string());
  // A date of the start-up span switches back, to that file's own segments, not the
  // ones kept from the other file.
  ASSERT_TRUE(EvaluateBody(2451545.0, kIntMercury, 0, false, v).ok());
  EXPECT_GT(std::fabs(v[0]), 1e-3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(v[i], before[i]);
  // No file for 600 BC: zero position, status 1.
  SetMissingFileHandler([](const std::string&) { return true; });
  EXPECT_TRUE(EvaluateBody(DateToJulianDayAt0h(1, 1, -600), kIntMoon, 0, false, v).IsNotFound());
  EXPECT_EQ(v[0], 0.0);
  SetMissingFileHandler(nullptr);
  std::filesystem::remove_all(dir);
}

// What a join check found is remembered per segment: a segment that does not meet its
// neighbour is refused however often and in whatever order the dates come, and sound
// segments stay usable next to it.
TEST_F(RealFiles, SegmentThatDoesNotMeetItsNeighbourIsRefusedEveryTime) {
  const auto dir = std::filesystem::temp_directory_path() / "kv_astro_joins";
  std::filesystem::create_directories(dir);
  for (const char* f : {"sepl_18.se1", "semo_18.se1", "seas_18.se1"})
    std::filesystem::copy_file(std::string(KV_EPHE_DIR) + "/" + f, dir / f,
                               std::filesystem::copy_options::overwrite_existing);
  const double first = DateToJulianDayAt0h(1, 1, 1700);
  for (bool sound : {true, false}) {
    SyntheticBody b = PlanetBody();
    b.jd_first = first;
    // The third segment starts where the second ends, or 50,000 units away.
    b.segments = 3;
    b.halves.push_back({{sound ? 1600000080 : 1600100080, 10, 2, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}});
    const auto bytes = WriteFile(true, first, first + 96, {b});
    std::ofstream(dir / "sepl_12.se1", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(InitEphemeris(dir.string()).ok());
    double v[6];
    for (int round = 0; round < 2; ++round) {
      for (double day : {16.0, 48.0, 80.0, 48.0, 16.0}) {
        const Status st = EvaluateBody(first + day, kIntMercury, kFlagSpeed, false, v);
        const bool refused = !sound && day > 32;
        EXPECT_EQ(st.IsCorruption(), refused) << "sound " << sound << " day " << day;
        if (!refused) {
          EXPECT_TRUE(st.ok()) << st.message();
        }
      }
    }
  }
  std::filesystem::remove_all(dir);
}

TEST(EphemerisDamage, TruncatedStartupFileEndsWithTheMessage) {
  const auto dir = std::filesystem::temp_directory_path() / "kv_astro_damaged";
  std::filesystem::create_directories(dir);
  const auto bytes = WriteFile(true, 2378496.5, 2597641.5, {SimpleBody()});
  for (const char* f : {"sepl_18.se1", "semo_18.se1", "seas_18.se1"})
    std::ofstream(dir / f, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), 60);
  const Status s = InitEphemeris(dir.string());
  EXPECT_TRUE(s.IsCorruption());
  EXPECT_FALSE(s.message().empty());
  std::filesystem::remove_all(dir);
  const Status missing = InitEphemeris(dir.string());
  EXPECT_TRUE(missing.IsNotFound());
}


TEST(EphemerisFolder, ControlFileNamesItsFirstFolderLine) {
  EXPECT_EQ(EphemerisDirectoryOfControl("* comment\n\n  \t\r\n  /data/ephe \r\nnext/\n"), "/data/ephe/");
  EXPECT_EQ(EphemerisDirectoryOfControl("C:\\EPHE\\"), "C:\\EPHE\\");
  EXPECT_EQ(EphemerisDirectoryOfControl("relative"), "relative/");
  // A line starting with a blank is no comment, whatever follows it.
  EXPECT_EQ(EphemerisDirectoryOfControl(" *odd"), "*odd/");
  EXPECT_FALSE(EphemerisDirectoryOfControl("* only\n\t\n"));
  EXPECT_FALSE(EphemerisDirectoryOfControl(""));
  // A NUL ends the text, as it would end the path.
  EXPECT_FALSE(EphemerisDirectoryOfControl(std::string_view("\0/data\n", 7)));
  EXPECT_EQ(EphemerisDirectoryOfControl(std::string_view("/da\0ta\n", 8)), "/da/");
  // A long line is one folder, not several.
  const std::string longer = "/" + std::string(700, 'x');
  EXPECT_EQ(EphemerisDirectoryOfControl(longer + "\n/other\n"), longer + "/");
}

// Damaged copies of the "dirswe.ctl" the build writes, found as the program finds it
// in its working directory: the engine starts from the folder named, or gives a
// message naming what it could not open; the file keeps every byte.
TEST(EphemerisFolder, DamagedControlFileStartsTheEngineOrGivesAMessage) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("kv_dirswe_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
  const std::string good = "* ephemeris directory, written by the build\n" + std::string(KV_EPHE_DIR) + "/\n";
  const auto copies = kv::testing::DamagedCopies(good, 71, 16);
  int started = 0;
  for (const auto& d : copies) {
    kv::testing::WriteBytes("dirswe.ctl", d.bytes);
    const Status s = InitEphemeris();
    if (s.ok()) ++started;
    else EXPECT_FALSE(s.message().empty()) << d.what;
    EXPECT_EQ(kv::testing::Checksum(kv::testing::ReadBytes("dirswe.ctl")), kv::testing::Checksum(d.bytes)) << d.what;
  }
  EXPECT_GT(started, 0);
  fs::current_path(previous);
  fs::remove_all(dir);
  EXPECT_TRUE(InitEphemeris(KV_EPHE_DIR).ok());
  RecordProperty("damaged_copies", static_cast<int>(copies.size()));
}

}  // namespace
}  // namespace kv
