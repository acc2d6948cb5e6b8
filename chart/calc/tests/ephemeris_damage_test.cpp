// Damaged copies of the planet and Moon files, through the whole chart calculation:
// each damage either misses every byte the charts use (the same charts come out) or
// gives a message and no chart. Never a different chart.
//
// The copies live in a scratch folder; the installed files are only read. The damage
// points: truncations, and zeroed or inverted bytes in the header, in the body
// constants, in the index entries and segments that the test dates use, and at random
// places (fixed seed). No damaged file may change by a byte.
//
// Run twice: as the program runs (the files of the installed release are checked
// against their digest, so any damage is found when they are opened), and with the
// digest switched off, as for files of other releases: then the header checksum, the
// layout, the segment joins and the physical distances must do the work. The format
// guards no body constant, so that second run leaves them out; and a coefficient byte
// changed within the fitting noise of the files (segments meet within about 20 units
// of their last digit) cannot be seen at all: there the chart may differ below 0.1".
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "astro/delta_t.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/ephemeris/ephemeris_format.h"
#include "chart/calc/chart_calc.h"
#include "common/messages.h"

namespace kv {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

std::vector<std::string>& Shown() {
  static std::vector<std::string> texts;
  return texts;
}

Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Three natal charts with houses and lunar day, one per century of the span.
struct Moment {
  double jd_ut;
  double lat, lon;
};
const Moment kMoments[] = {{2415087.8, 55.45, 37.37},    // March 1900, Moscow
                           {2448057.875, 59.57, 30.19},  // June 1990, St Petersburg
                           {2470133.3, -33.52, 151.13}}; // November 2050, Sydney
// The lunar day reads the Moon over a month; one moment asks for it (it costs most).
constexpr size_t kLunarDayMoment = 1;

ChartRecord Compute(size_t i, int* rc) {
  const Moment& m = kMoments[i];
  ChartRecord rec = DefaultChartRecord();
  SetBirthMoment(rec, m.jd_ut, 0.0);
  rec.lat_packed = m.lat;
  rec.lon_packed = m.lon;
  rec.house_system = 3;
  rec.lunar_day = i == kLunarDayMoment ? 0 : -1;
  *rc = CalculateChart(rec, nullptr, kNatalChart, ChartOptions{true, true, false});
  return rec;
}

struct Damage {
  std::string what;
  Bytes bytes;
};

class EphemerisDamage : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = fs::temp_directory_path() / ("kv_damage_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    for (const char* f : {"sepl_18.se1", "semo_18.se1", "seas_18.se1"})
      fs::copy_file(fs::path(KV_EPHE_DIR) / f, dir_ / f, fs::copy_options::overwrite_existing);
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }

  void SetUp() override {
    old_ = SetMessageSink({[](const std::string& t) { Shown().push_back(t); }, nullptr});
  }
  void TearDown() override {
    SetMessageSink(old_);
    InitEphemeris(KV_EPHE_DIR);
  }

  // The damage points for one file: what the charts read, plus random places.
  static std::vector<Damage> DamagesOf(const Bytes& good, unsigned seed, bool body_constants) {
    std::vector<Damage> out;
    auto zeroed = [&](size_t at, size_t n, const std::string& where) {
      Bytes b = good;
      for (size_t i = at; i < at + n && i < b.size(); ++i) b[i] = 0;
      if (b != good) out.push_back({"zeroed " + std::to_string(n) + " at " + std::to_string(at) + " (" + where + ")", b});
    };
    auto inverted = [&](size_t at, const std::string& where) {
      Bytes b = good;
      b[at] ^= 0xFF;
      out.push_back({"inverted at " + std::to_string(at) + " (" + where + ")", b});
    };
    auto truncated = [&](size_t n) {
      out.push_back({"truncated to " + std::to_string(n), Bytes(good.begin(), good.begin() + n)});
    };
    FileHeader h;
    EXPECT_TRUE(DecodeHeader(good, false, &h).ok());
    // Header: a stride through the bytes up to the checksum and the body constants.
    for (size_t i = 0; i < h.checksum_end; i += 7) inverted(i, "header");
    for (size_t i = h.checksum_end; body_constants && i < h.bodies[0].index_pos; i += 29) {
      inverted(i, "body constants");
      zeroed(i + 13, 3, "body constants");
    }
    // Index entries and segments of the moments, with their neighbours.
    const ByteImage image(good.data(), good.size(), true);
    for (const BodyHeader& b : h.bodies)
      for (const Moment& m : kMoments) {
        const double jd = m.jd_ut + DeltaT(m.jd_ut);
        const long k = static_cast<long>(std::floor((jd - b.jd_first) / b.segment_days));
        if (k < 0 || k + 1 >= b.segment_count) continue;
        const size_t entry = b.index_pos + 3 * static_cast<size_t>(k);
        zeroed(entry, 3, "index");
        inverted(entry + 4, "index of the next segment");
        uint64_t seg = 0, next = good.size();
        EXPECT_TRUE(image.Unsigned(entry, 3, &seg));
        EXPECT_TRUE(image.Unsigned(entry + 3, 3, &next));
        inverted(static_cast<size_t>(seg), "block header");
        zeroed(static_cast<size_t>((seg + next) / 2), 1, "segment");
        inverted(static_cast<size_t>(next - 1), "segment");
        truncated(static_cast<size_t>(seg + 5));
      }
    for (size_t n : {size_t(0), size_t(20), h.checksum_end - 1, h.checksum_end + 10,
                     static_cast<size_t>(h.bodies[0].index_pos) + 1, good.size() - 1})
      truncated(n);
    std::mt19937 random(seed);
    std::uniform_int_distribution<size_t> place(0, good.size() - 1);
    for (int i = 0; i < 40; ++i) {
      const size_t at = place(random);
      if (i % 2) inverted(at, "random");
      else zeroed(at, 3, "random");
    }
    return out;
  }

  // Runs every damage of one file through the charts. Returns the number of damages
  // that reached a chart (missed every byte used).
  int RunDamages(const std::string& file, bool known_releases, unsigned seed) {
    const Bytes good = ReadBytes(fs::path(KV_EPHE_DIR) / file);
    EXPECT_TRUE(InitEphemeris(dir_.string(), known_releases).ok());
    std::vector<ChartRecord> expected;
    for (size_t i = 0; i < std::size(kMoments); ++i) {
      int rc = 0;
      expected.push_back(Compute(i, &rc));
      EXPECT_EQ(rc, 0);
    }
    int charted = 0;
    for (const Damage& d : DamagesOf(good, seed, known_releases)) {
      WriteBytes(dir_ / file, d.bytes);
      Shown().clear();
      const Status start = InitEphemeris(dir_.string(), known_releases);
      if (!start.ok()) {
        EXPECT_FALSE(start.message().empty()) << d.what;
        EXPECT_TRUE(ReadBytes(dir_ / file) == d.bytes) << file << ", " << d.what << ": the file was changed";
        continue;
      }
      bool all_charted = true;
      for (size_t i = 0; i < std::size(kMoments); ++i) {
        int rc = 0;
        const ChartRecord rec = Compute(i, &rc);
        if (rc != 0) {
          EXPECT_EQ(rc, kChartDamagedEphemeris) << d.what;
          EXPECT_FALSE(Shown().empty()) << d.what;  // the message
          all_charted = false;
          continue;
        }
        if (known_releases)
          EXPECT_EQ(std::memcmp(&rec, &expected[i], sizeof rec), 0)
              << file << ", " << d.what << ": a different chart at moment " << i;
        else
          ExpectSameChart(rec, expected[i], file + ", " + d.what);
      }
      charted += all_charted;
      // The engine only reads its files.
      EXPECT_TRUE(ReadBytes(dir_ / file) == d.bytes) << file << ", " << d.what << ": the file was changed";
    }
    WriteBytes(dir_ / file, good);
    RecordProperty("damages_" + file, static_cast<int>(DamagesOf(good, seed, known_releases).size()));
    return charted;
  }

  // Equal but for deviations below 0.1" in position, far below what any output shows.
  // The true node and the osculating apogee come from the Moon's velocity and its
  // change, which a high-order coefficient moves most: 2" and 0.01 degree a day there.
  static void ExpectSameChart(const ChartRecord& got, const ChartRecord& want, const std::string& what) {
    EXPECT_EQ(std::memcmp(&got, &want, offsetof(ChartRecord, lon)), 0) << what;
    constexpr double kArcsec = 1.0 / 3600;
    auto osculating = [](int b) { return b == 11 || b == 15 || b == 16; };
    for (int b = 1; b <= 31; ++b) {
      const double d = std::fabs(std::remainder(got.lon[b] - want.lon[b], 360.0));
      EXPECT_LT(d, (osculating(b) ? 2.0 : 0.1) * kArcsec) << what << ": longitude of point " << b;
    }
    for (int b = 1; b <= 16; ++b) {
      EXPECT_NEAR(got.lat[b], want.lat[b], (osculating(b) ? 2.0 : 0.1) * kArcsec)
          << what << ": latitude of body " << b;
      EXPECT_NEAR(got.speed[b], want.speed[b], osculating(b) ? 0.01 : 1e-5)
          << what << ": motion of body " << b;
    }
  }

  static fs::path dir_;
  MessageSink old_;
};

fs::path EphemerisDamage::dir_;

TEST_F(EphemerisDamage, PlanetFileNeverGivesADifferentChart) {
  RunDamages("sepl_18.se1", true, 18);
}

TEST_F(EphemerisDamage, MoonFileNeverGivesADifferentChart) {
  RunDamages("semo_18.se1", true, 19);
}

TEST_F(EphemerisDamage, PlanetFileWithoutTheReleaseDigest) {
  const int charted = RunDamages("sepl_18.se1", false, 18);
  EXPECT_GT(charted, 0);  // random damage far from the moments leaves the charts as they are
}

TEST_F(EphemerisDamage, MoonFileWithoutTheReleaseDigest) {
  RunDamages("semo_18.se1", false, 19);
}

}  // namespace
}  // namespace kv
