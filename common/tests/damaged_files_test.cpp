// Damaged copies of the settings file and the text resources, read as the program
// reads them: no crash, texts within their limits, a settings text that reads back
// the same once written, messages never over their length; and the file read keeps
// every byte.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/messages.h"
#include "common/settings.h"
#include "common/tests/damaged_copies.h"
#include "common/text_resources.h"

namespace kv {
namespace {

namespace fs = std::filesystem;
using testing::Checksum;
using testing::DamagedCopies;
using testing::ReadBytes;
using testing::WriteBytes;

class DamagedFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kv_damaged_common_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(DamagedFiles, SettingsFileReadsWithinItsLimitsAndStaysAsItWas) {
  const std::string good = ReadBytes(fs::path(KV_TEST_DATA) / "kvi.ini");
  ASSERT_FALSE(good.empty());
  const fs::path path = dir_ / "kvi.ini";
  const auto copies = DamagedCopies(good, 11);
  for (const auto& d : copies) {
    WriteBytes(path, d.bytes);
    Settings s;
    ASSERT_TRUE(ReadSettingsFile(path.string(), s)) << d.what;
    EXPECT_EQ(Checksum(ReadBytes(path)), Checksum(d.bytes)) << d.what;
    EXPECT_LE(s.database.size(), kMaxFileName) << d.what;
    EXPECT_LE(s.orb_file.size(), kMaxFileName) << d.what;
    EXPECT_LE(s.town_file.size(), kMaxTownFile) << d.what;
    EXPECT_LE(s.interval.size(), kMaxInterval) << d.what;
    EXPECT_LT(strnlen(s.startup.name, sizeof s.startup.name), sizeof s.startup.name) << d.what;
    EXPECT_DOUBLE_EQ(s.startup.jd_ut, s.startup.jd_local + s.startup.correction_h / 24.0) << d.what;
    // What the program writes at exit reads back as the same settings.
    const std::string written = FormatSettingsText(s);
    Settings again;
    ParseSettingsText(written, again);
    EXPECT_EQ(FormatSettingsText(again), written) << d.what;
  }
  RecordProperty("damaged_copies", static_cast<int>(copies.size()));
}

TEST_F(DamagedFiles, TextResourcesGiveTextsOrKeysAndMessagesWithinTheirLimit) {
  const std::string good = Utf8ToCp866(ReadBytes(fs::path(KV_TEST_DATA) / "kvima.t.utf8"));
  ASSERT_FALSE(good.empty());
  TextResources sound;
  sound.LoadText(good);
  const fs::path path = dir_ / "kvima.t";
  const char* const keys[] = {"P-H", "ZOD", "BdDmg", "F%is", "DEp", "PopZn%s", "KrEph", "MEM"};
  const auto copies = DamagedCopies(good, 12);
  for (const auto& d : copies) {
    WriteBytes(path, d.bytes);
    TextResources r;
    ASSERT_TRUE(r.LoadFile(path.string())) << d.what;
    EXPECT_EQ(Checksum(ReadBytes(path)), Checksum(d.bytes)) << d.what;
    EXPECT_LE(r.EntryCount(), sound.EntryCount() + 2) << d.what;
    for (const char* key : keys) {
      (void)r.LookupList(key);
      (void)r.LookupIndexed(5, key);
      // A damaged format is shown as it stands, never filled past its arguments.
      const auto args = std::array<FormatArg, 2>{FormatArg("file"), FormatArg("what")};
      const std::string filled = FormatKeyArgs(r.Lookup(key), args);
      EXPECT_LT(filled.size(), kMaxMessageBytes) << d.what;
      EXPECT_FALSE(filled.empty()) << d.what;
    }
  }
  RecordProperty("damaged_copies", static_cast<int>(copies.size()));
}

}  // namespace
}  // namespace kv
