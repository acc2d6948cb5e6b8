// Damaged copies of the files of a person database and of the schema "shembd.ctl",
// read as the program reads them: a database is listed and every record read; damage
// that shows gives the "BdDmg" message and a failure, never a crash; the schema gives
// its tables and scripts; and no file opened for reading changes by a byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/messages.h"
#include "common/tests/captured_messages.h"
#include "common/tests/damaged_copies.h"
#include "db/records/database_check.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "db/schema/script.h"
#include "db/tests/test_files.h"

namespace kv::db {
namespace {

using kv::testing::Checksum;
using kv::testing::DamagedCopies;
using kv::testing::ReadBytes;

std::vector<std::string>& g_shown = kv::testing::CapturedMessages::Texts();

class DamagedDatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::ScratchDir();
    name_ = dir_ + "/cards";
    ASSERT_TRUE(LoadSchema(std::string(KV_TEST_DATA) + "/shembd.ctl").ok());
  }
  void TearDown() override {
    SetTables({});
  }
  std::string dir_, name_;
  kv::testing::CapturedMessages messages_;
};

// A database of cards with a few fields each, enough for several index pages and
// record blocks.
void MakeCards(const std::string& name, int count) {
  ASSERT_TRUE(Create(name).ok());
  Database base;
  ASSERT_TRUE(base.Open(name, kPersonWrite).ok());
  for (int i = 0; i < count; ++i) {
    FieldArray f;
    f[2] = "Name " + std::to_string(i * 7919 % 1000);
    f[3] = std::to_string(1 + i % 28) + ".0" + std::to_string(1 + i % 9) + ".19" + std::to_string(10 + i % 90);
    f[5] = std::string(static_cast<size_t>(i % 40), 'x');
    std::string key;
    ASSERT_TRUE(base.NextFreeKey(&key, ".").ok());
    ASSERT_TRUE(base.Write(key, f).ok());
  }
}

TEST_F(DamagedDatabase, ReadingGivesRecordsOrTheDamageMessageAndWritesNothing) {
  MakeCards(name_, 400);
  int tried = 0;
  for (const char* ext : {".btr", ".bod"}) {
    const std::string path = name_ + ext;
    const std::string good = ReadBytes(path);
    ASSERT_FALSE(good.empty());
    for (const auto& d : DamagedCopies(good, ext[2] == 't' ? 51 : 52, 32)) {
      ++tried;
      kv::testing::WriteBytes(path, d.bytes);
      g_shown.clear();
      {
        Database base;
        const Status opened = base.Open(name_, kPersonRead);
        if (opened.ok()) {
          base.SeekKeys("");
          std::string key;
          FieldArray fields;
          int read = 0;
          while (base.NextKey(&key) && read < 1000) {
            const Status s = base.Read(key, fields);
            EXPECT_TRUE(s.ok() || s.IsCorruption() || s.IsNotFound()) << d.what << ": " << s.message();
            ++read;
          }
          (void)base.ListKeys(".", kSortByDate);
          if (!base.damage().ok()) {
            EXPECT_FALSE(g_shown.empty()) << d.what;
          }
        } else if (opened.IsCorruption()) {
          EXPECT_FALSE(g_shown.empty()) << d.what;  // "BdDmg"
        }
      }
      (void)CheckDatabase(name_, false);
      EXPECT_EQ(Checksum(ReadBytes(path)), Checksum(d.bytes)) << path << ", " << d.what;
    }
    kv::testing::WriteBytes(path, good);
  }
  RecordProperty("damaged_copies", tried);
}

TEST_F(DamagedDatabase, SchemaGivesTablesAndScriptsRun) {
  const std::string good = ReadBytes(std::string(KV_TEST_DATA) + "/shembd.ctl");
  ASSERT_FALSE(good.empty());
  const std::string path = dir_ + "/shembd.ctl";
  MakeCards(name_, 3);
  const auto copies = DamagedCopies(good, 53);
  for (const auto& d : copies) {
    kv::testing::WriteBytes(path, d.bytes);
    ASSERT_TRUE(LoadSchema(path).ok()) << d.what;
    EXPECT_EQ(Checksum(ReadBytes(path)), Checksum(d.bytes)) << d.what;
    Database base;
    ASSERT_TRUE(base.Open(name_, kPersonRead).ok());
    for (const Table& t : Tables()) {
      EXPECT_LE(t.prefix.size(), kMaxPrefix) << d.what;
      (void)ParseIndexDeclaration(t.index);
      FieldArray record;
      record[1] = ".000001";
      record[2] = "\xC8\xEC\xFF";
      (void)RunScript(base, t.read_script, record);
      (void)RunScript(base, t.write_script, record);
      (void)RunScript(base, t.delete_script, record);
    }
    FieldArray fields;
    (void)base.Read(".000001", fields);
  }
  RecordProperty("damaged_copies", static_cast<int>(copies.size()));
}

}  // namespace
}  // namespace kv::db
