#include "db/records/record_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <random>

#include "common/messages.h"
#include "common/tests/captured_messages.h"
#include "db/btree/key_index.h"
#include "db/records/database_check.h"
#include "db/schema/schema.h"
#include "db/tests/test_files.h"

namespace kv::db {
namespace {

using testing::FileBytes;
using testing::Get16;
using testing::ScratchDir;
using testing::Set16;
using testing::WriteBytes;

std::vector<std::string>& g_warnings = kv::testing::CapturedMessages::Texts();

class RecordStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ScratchDir();
    name_ = dir_ + "/cards";
    ASSERT_TRUE(Create(name_).ok());
  }
  void TearDown() override {
    base_.Close();
    SetTables({});
  }
  FieldArray Card(std::initializer_list<std::pair<int, std::string>> values) {
    FieldArray f;
    for (auto& [n, t] : values) f[n] = t;
    return f;
  }
  Database base_;
  std::string dir_, name_;
  kv::testing::CapturedMessages messages_;
};

TEST_F(RecordStoreTest, FirstRecordIsByteExact) {
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  ASSERT_TRUE(base_.Write(".000001", Card({{2, "A"}})).ok());
  base_.Close();
  std::vector<uint8_t> bod = FileBytes(name_ + ".bod");
  ASSERT_EQ(bod.size(), 4096u);
  const std::vector<uint8_t> expected = {0x0F, 0x00, 0x07, 0x00, 0x2E, 0x30, 0x30, 0x30, 0x30,
                                         0x30, 0x31, 0x04, 0x00, 0x02, 0x01, 0x00, 0x41};
  EXPECT_EQ(std::vector<uint8_t>(bod.begin(), bod.begin() + 17), expected);
  ASSERT_TRUE(base_.Open(name_, kPersonRead).ok());
  FieldArray f;
  ASSERT_TRUE(base_.Read(".000001", f).ok());
  EXPECT_EQ(f[1], ".000001");  // the key comes back as field 1
  EXPECT_EQ(f[2], "A");
  EXPECT_TRUE(f[3].empty());
  // The key index maps the key to block 0: the value after the key in page 1.
  std::vector<uint8_t> btr = FileBytes(name_ + ".btr");
  EXPECT_EQ(Get16(btr, 2048 + 13), 0);
}

TEST_F(RecordStoreTest, ModesKeysAndBlankFields) {
  ASSERT_TRUE(base_.Open(name_, kPersonRead).ok());
  EXPECT_EQ(base_.Open(name_, kPersonRead).code(), StatusCode::kBusy);  // one at a time
  EXPECT_FALSE(g_warnings.empty());
  EXPECT_EQ(base_.Write(".1", Card({{2, "x"}})).code(), StatusCode::kReadOnly);
  EXPECT_EQ(base_.Delete(".1").code(), StatusCode::kReadOnly);
  base_.Close();
  EXPECT_TRUE(base_.Open(dir_ + "/none", kPersonRead).IsNotFound());
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  EXPECT_EQ(base_.Write("", Card({{2, "x"}})).code(), StatusCode::kInvalidArgument);
  EXPECT_EQ(base_.Write("   ", Card({{2, "x"}})).code(), StatusCode::kInvalidArgument);
  EXPECT_EQ(base_.Write(std::string(21, 'k'), Card({{2, "x"}})).code(), StatusCode::kInvalidArgument);
  // Trailing blanks of keys and fields are not stored; a blank field is absent.
  ASSERT_TRUE(base_.Write(".7   ", Card({{2, "Name  "}, {3, "   "}, {5, ""}})).ok());
  FieldArray f;
  ASSERT_TRUE(base_.Read(".7", f).ok());
  EXPECT_EQ(f[2], "Name");
  EXPECT_TRUE(f[3].empty());
  ASSERT_TRUE(base_.Write(".8", Card({{3, "  "}})).ok());
  ASSERT_TRUE(base_.Read(".8", f).ok());
  for (int n = 2; n < kFieldCount; ++n) ASSERT_TRUE(f[n].empty());
  EXPECT_TRUE(base_.Read(".9", f).IsNotFound());
}

// Each handle has its own files, buffers and damage: two open at once do not meet.
TEST_F(RecordStoreTest, TwoHandlesOpenAtOnceKeepApart) {
  const std::string other = dir_ + "/other";
  ASSERT_TRUE(Create(other).ok());
  Database second;
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  ASSERT_TRUE(second.Open(other, kPersonWrite).ok());
  ASSERT_TRUE(base_.Write(".1", Card({{2, "first"}})).ok());
  ASSERT_TRUE(second.Write(".1", Card({{2, "second"}})).ok());
  ASSERT_TRUE(second.Write(".2", Card({{2, "only here"}})).ok());
  FieldArray f;
  ASSERT_TRUE(base_.Read(".1", f).ok());
  EXPECT_EQ(f[2], "first");
  EXPECT_TRUE(base_.Read(".2", f).IsNotFound());
  EXPECT_EQ(base_.ListKeys(".", 0), (std::vector<std::string>{".1"}));
  base_.Close();  // the other stays open and usable
  ASSERT_TRUE(second.Read(".1", f).ok());
  EXPECT_EQ(f[2], "second");
  EXPECT_EQ(second.stored_mode(), kPersonWrite);
  EXPECT_EQ(base_.stored_mode(), 0);
  second.Close();
  EXPECT_TRUE(CheckDatabase(name_, false).ok());
  EXPECT_TRUE(CheckDatabase(other, false).ok());
  // Damage met by one handle refuses nothing in the other.
  std::vector<uint8_t> bod = FileBytes(name_ + ".bod");
  Set16(bod, 2, 40);  // key length above 20
  WriteBytes(name_ + ".bod", bod);
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  ASSERT_TRUE(second.Open(other, kPersonWrite).ok());
  EXPECT_TRUE(base_.Read(".1", f).IsCorruption());
  EXPECT_TRUE(second.damage().ok());
  EXPECT_TRUE(second.Write(".3", Card({{2, "still"}})).ok());
}

TEST_F(RecordStoreTest, RecordOfExactlyOneBlockAndOneByteMore) {
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  ASSERT_TRUE(base_.Write(".1", Card({{2, "keep"}})).ok());
  // key 7 + data + 4 = 4094: data 4083 = field head 3 + 4080 text.
  std::string key = ".000002";
  FieldArray big = Card({{2, std::string(4080, 'x')}});
  ASSERT_TRUE(base_.Write(key, big).ok());
  FieldArray f;
  ASSERT_TRUE(base_.Read(key, f).ok());
  EXPECT_EQ(f[2].size(), 4080u);
  std::vector<uint8_t> bod = FileBytes(name_ + ".bod");
  ASSERT_EQ(bod.size(), 2u * 4096);
  EXPECT_EQ(Get16(bod, 4096), 4094);  // a block of its own, full
  big[2].push_back('y');
  EXPECT_EQ(base_.Write(key, big).code(), StatusCode::kTooLarge);
  ASSERT_TRUE(base_.Read(key, f).ok());  // the stored record is untouched
  EXPECT_EQ(f[2], std::string(4080, 'x'));
  EXPECT_EQ(FileBytes(name_ + ".bod"), bod);
  EXPECT_EQ(base_.Write(key, Card({{2, std::string(5000, 'z')}})).code(), StatusCode::kTooLarge);
}

TEST_F(RecordStoreTest, RewriteDeleteAndReuse) {
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  std::string medium(1500, 'm');
  ASSERT_TRUE(base_.Write(".1", Card({{2, medium}})).ok());
  ASSERT_TRUE(base_.Write(".2", Card({{2, medium}})).ok());
  // No longer fits block 0 beside .2: it moves and the index follows it.
  ASSERT_TRUE(base_.Write(".1", Card({{2, std::string(3000, 'n')}})).ok());
  FieldArray f;
  ASSERT_TRUE(base_.Read(".1", f).ok());
  EXPECT_EQ(f[2].size(), 3000u);
  ASSERT_TRUE(base_.Read(".2", f).ok());
  EXPECT_EQ(f[2], medium);
  base_.Close();
  EXPECT_TRUE(CheckDatabase(name_, false).ok());
  EXPECT_EQ(CheckDatabase(name_, false).leftover_entries, 0);
  size_t size = FileBytes(name_ + ".bod").size();
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  ASSERT_TRUE(base_.Delete(".1").ok());
  EXPECT_TRUE(base_.Delete(".1").IsNotFound());
  EXPECT_TRUE(base_.Read(".1", f).IsNotFound());
  // Freed bytes are used again; blocks stay.
  ASSERT_TRUE(base_.Write(".3", Card({{2, std::string(2500, 'o')}})).ok());
  base_.Close();
  EXPECT_EQ(FileBytes(name_ + ".bod").size(), size);
  EXPECT_TRUE(CheckDatabase(name_, false).ok());
}

TEST_F(RecordStoreTest, NextFreeKeyAndServiceKeys) {
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  std::string key;
  ASSERT_TRUE(base_.NextFreeKey(&key, ".").ok());
  EXPECT_EQ(key, ".000001");
  FieldArray f;
  ASSERT_TRUE(base_.Read(".@", f).ok());
  EXPECT_EQ(f[2], ".000000");
  for (const char* k : {".000001", ".000002", ".000003"}) ASSERT_TRUE(base_.Write(k, Card({{2, "n"}})).ok());
  ASSERT_TRUE(base_.Write(".@", Card({{2, ".000001"}})).ok());
  ASSERT_TRUE(base_.NextFreeKey(&key, ".").ok());
  EXPECT_EQ(key, ".000004");
  ASSERT_TRUE(base_.Read(".@", f).ok());
  EXPECT_EQ(f[2], ".000003");
  // The counter record is never listed.
  EXPECT_EQ(base_.ListKeys(".", 0), (std::vector<std::string>{".000001", ".000002", ".000003"}));
  ASSERT_TRUE(base_.Write(".x@y", Card({{2, "service"}})).ok());
  EXPECT_EQ(base_.ListKeys(".", 0).size(), 3u);
  // A run of nines widens; a key that would pass 20 bytes is refused.
  ASSERT_TRUE(base_.Write("Q@", Card({{2, "Q99"}})).ok());
  ASSERT_TRUE(base_.NextFreeKey(&key, "Q").ok());
  EXPECT_EQ(key, "Q100");
  g_warnings.clear();
  key = "unchanged";
  EXPECT_EQ(base_.NextFreeKey(&key, std::string(20, 'p')).code(), StatusCode::kInvalidArgument);
  EXPECT_EQ(key, "unchanged");
  EXPECT_EQ(g_warnings.size(), 1u);
  ASSERT_TRUE(base_.Write("R@", Card({{2, "R" + std::string(19, '9')}})).ok());
  EXPECT_EQ(base_.NextFreeKey(&key, "R").code(), StatusCode::kFull);
  EXPECT_EQ(key, "unchanged");
}

TEST_F(RecordStoreTest, ListKeysSortOrders) {
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  ASSERT_TRUE(base_.Write(".1", Card({{2, "Bob"}, {3, "05.03.1990"}})).ok());
  ASSERT_TRUE(base_.Write(".2", Card({{2, "alice"}, {3, "01.12.1850"}})).ok());
  ASSERT_TRUE(base_.Write(".3", Card({{2, "\xC0\xED\xED\xE0"}, {3, "20.01.2001"}})).ok());
  ASSERT_TRUE(base_.Write("t.1", Card({{2, "town"}})).ok());
  EXPECT_EQ(base_.ListKeys(".", 0), (std::vector<std::string>{".1", ".2", ".3"}));
  EXPECT_EQ(base_.ListKeys(".", 3), (std::vector<std::string>{".2\x01" "01.12.1850", ".1\x01" "05.03.1990",
                                                        ".3\x01" "20.01.2001"}));
  EXPECT_EQ(base_.ListKeys(".", 4), (std::vector<std::string>{".3\x01" "20.01.2001", ".1\x01" "05.03.1990",
                                                        ".2\x01" "01.12.1850"}));
  EXPECT_EQ(base_.ListKeys(".", 2), (std::vector<std::string>{".1\x01" "Bob", ".2\x01" "alice",
                                                        ".3\x01\xC0\xED\xED\xE0"}));
}

TEST_F(RecordStoreTest, ValueIndexOfTheTownsDatabase) {
  char old_dir[4096];
  ASSERT_NE(getcwd(old_dir, sizeof old_dir), nullptr);
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  SetTables(ParseSchema({"@basa=\"t.\"", "@index=7 14f", "@basa=\"S.\"", "@index=3"}));
  ASSERT_TRUE(CreateTowns(kTownsName).ok());
  ASSERT_TRUE(base_.Open(kTownsName, kTownsWrite).ok());
  EXPECT_TRUE(base_.value_index_open());
  ASSERT_TRUE(base_.Write("t.1", Card({{7, "MOSKVA"}, {14, "RUS"}})).ok());
  ASSERT_TRUE(base_.Write("t.2", Card({{7, "MINSK"}})).ok());
  ASSERT_TRUE(base_.Write("t.3", Card({{7, "MOSKVA"}, {14, "RUS"}})).ok());
  std::vector<std::string> keys;
  base_.FindByValue(keys, "t.", 7, "MO", 1);
  EXPECT_EQ(keys, (std::vector<std::string>{"t.1", "t.3"}));
  keys.clear();
  base_.FindByValue(keys, "t.", 7, "", 0);
  EXPECT_EQ(keys, (std::vector<std::string>{"t.2", "t.1", "t.3"}));
  keys.clear();
  base_.FindByValue(keys, "t.", 14, "\xFF", 2);  // a blank value of an "f" field
  EXPECT_EQ(keys, (std::vector<std::string>{"t.2"}));
  // A changed value moves the entry; a deleted record loses its entries.
  ASSERT_TRUE(base_.Write("t.1", Card({{7, "ODESSA"}, {14, "UKR"}})).ok());
  std::string first;
  ASSERT_TRUE(base_.FindFirstByValue("t.", 7, "MOSKVA", &first).ok());
  EXPECT_EQ(first, "t.3");
  ASSERT_TRUE(base_.Delete("t.3").ok());
  EXPECT_TRUE(base_.FindFirstByValue("t.", 7, "MOSKVA", &first).IsNotFound());
  keys.clear();
  base_.FindByValue(keys, "t.", 7, "", 0);
  EXPECT_EQ(keys, (std::vector<std::string>{"t.2", "t.1"}));
  base_.Close();
  // A read-only open also finds by value; another name never opens ".bnz".
  ASSERT_TRUE(base_.Open(kTownsName, kTownsRead).ok());
  EXPECT_TRUE(base_.value_index_open());
  base_.Close();
  ASSERT_EQ(chdir(old_dir), 0);
  EXPECT_EQ(ValueIndexKey("t.", 7, std::string(200, 'v'), "t.1", false).size(), kMaxValueKey);
  EXPECT_EQ(ValueIndexKey("t.", 7, "  ", "t.1", false), "");
}

// Another writer filled block 0 after the free table was built: the store believes
// the block, not its table, and appends after what is there.
TEST_F(RecordStoreTest, FreeTableThatDisagreesWithItsBlockIsCorrected) {
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  ASSERT_TRUE(base_.Write(".1", Card({{2, "one"}})).ok());
  base_.Close();
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());  // free table: block 0 nearly empty
  std::vector<uint8_t> bod = FileBytes(name_ + ".bod");
  int used = Get16(bod, 0);
  std::vector<uint8_t> foreign = {0x02, 0x00, '.', '9', 0xE8, 0x0F};  // ".9", 4072 bytes of data
  foreign.resize(foreign.size() + 4072, 'f');
  std::copy(foreign.begin(), foreign.end(), bod.begin() + 2 + used);
  Set16(bod, 0, used + static_cast<int>(foreign.size()));
  WriteBytes(name_ + ".bod", bod);
  ASSERT_TRUE(base_.Write(".2", Card({{2, std::string(100, 't')}})).ok());
  base_.Close();
  std::vector<uint8_t> after = FileBytes(name_ + ".bod");
  ASSERT_EQ(after.size(), 2u * 4096);  // the record went to a new block
  EXPECT_TRUE(std::equal(bod.begin(), bod.begin() + 4096, after.begin()));
  ASSERT_TRUE(base_.Open(name_, kPersonRead).ok());
  FieldArray f;
  ASSERT_TRUE(base_.Read(".2", f).ok());
  EXPECT_EQ(f[2], std::string(100, 't'));
}

// Damaged record files: the damage is reported once, nothing is written.
TEST_F(RecordStoreTest, DamagedBlocksAreRefusedAndKept) {
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  ASSERT_TRUE(base_.Write(".1", Card({{2, "one"}})).ok());
  ASSERT_TRUE(base_.Write(".2", Card({{2, "two"}})).ok());
  base_.Close();
  const std::vector<uint8_t> good = FileBytes(name_ + ".bod");
  struct Case {
    const char* name;
    size_t off;
    int value;
  };
  const Case cases[] = {
      {"key length above 20", 2, 40},
      {"data length past the block", 2 + 2 + 2, 4000},
      {"negative data length", 2 + 2 + 2, -5},
      {"used count cuts an entry", 0, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bad = good;
    Set16(bad, c.off, c.value);
    WriteBytes(name_ + ".bod", bad);
    g_warnings.clear();
    ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
    FieldArray f;
    EXPECT_TRUE(base_.Read(".2", f).IsCorruption());
    EXPECT_EQ(WriteResult(base_.Write(".2", Card({{2, "new"}}))), kWriteRefused);
    EXPECT_TRUE(base_.Write(".3", Card({{2, "new"}})).IsCorruption());
    EXPECT_TRUE(base_.Delete(".1").IsCorruption());
    EXPECT_TRUE(base_.damage().IsCorruption());
    base_.Close();
    EXPECT_EQ(g_warnings.size(), 1u);
    EXPECT_EQ(FileBytes(name_ + ".bod"), bad);
    EXPECT_FALSE(CheckDatabase(name_, false).ok());
  }
  // A key pointing at a block beyond the file.
  WriteBytes(name_ + ".bod", good);
  std::vector<uint8_t> btr = FileBytes(name_ + ".btr");
  Set16(btr, 2048 + 4 + 2 + 2, 7);  // value of ".1"
  WriteBytes(name_ + ".btr", btr);
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  FieldArray f;
  EXPECT_TRUE(base_.Read(".1", f).IsCorruption());
  EXPECT_TRUE(base_.Write(".1", Card({{2, "x"}})).IsCorruption());
  base_.Close();
  EXPECT_EQ(FileBytes(name_ + ".btr"), btr);
  EXPECT_EQ(FileBytes(name_ + ".bod"), good);
  EXPECT_FALSE(CheckDatabase(name_, false).ok());
}

// A delete that meets a damaged block must not take the key out of the index first:
// the message says the files are unchanged, and they must be.
TEST_F(RecordStoreTest, DeleteFromADamagedBlockChangesNoFile) {
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  ASSERT_TRUE(base_.Write(".1", Card({{2, "one"}})).ok());
  ASSERT_TRUE(base_.Write(".2", Card({{2, "two"}})).ok());
  base_.Close();
  std::vector<uint8_t> bod = FileBytes(name_ + ".bod");
  Set16(bod, 2 + 2 + 2, 4000);  // the first entry's data runs past the block
  WriteBytes(name_ + ".bod", bod);
  const std::vector<uint8_t> btr = FileBytes(name_ + ".btr");
  g_warnings.clear();
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  EXPECT_TRUE(base_.Delete(".2").IsCorruption());
  base_.Close();
  EXPECT_EQ(g_warnings.size(), 1u);
  EXPECT_EQ(FileBytes(name_ + ".btr"), btr);
  EXPECT_EQ(FileBytes(name_ + ".bod"), bod);
  // Both keys still lead to their block, where the damage stays visible.
  ASSERT_TRUE(base_.Open(name_, kPersonRead).ok());
  EXPECT_EQ(base_.ListKeys(".", 0), (std::vector<std::string>{".1", ".2"}));
  base_.Close();
}

TEST_F(RecordStoreTest, ModelOfRandomRecordsAcrossReopens) {
  const int ops = testing::ModelOps(100000);
  std::mt19937 rng(99);
  std::map<std::string, FieldArray> model;
  auto random_text = [&](size_t n) {
    std::string s(n, ' ');
    for (char& c : s) c = static_cast<char>(33 + rng() % 200);
    return s;
  };
  for (int phase = 0; phase < 4; ++phase) {
    // Flushing each change costs a disk wait: the last, shorter phase takes that path.
    const bool flushed = phase == 3;
    base_.SetFlushEachChange(flushed);
    ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
    for (int i = 0; i < (flushed ? std::min(ops / 4, 3000) : ops / 4); ++i) {
      std::string key = "." + std::to_string(rng() % 400);
      int what = rng() % 10;
      if (what < 6) {
        FieldArray f;
        int fields = rng() % 6;
        for (int j = 0; j < fields; ++j) f[2 + rng() % 250] = random_text(rng() % 300);
        if (rng() % 50 == 0) f[3] = random_text(4083 - key.size() - 3 + rng() % 2);
        std::string data;
        bool fits = EncodeFields(f, &data) && key.size() + data.size() + 4 <= 4094;
        const Status written = base_.Write(key, f);
        ASSERT_EQ(written.code(), fits ? StatusCode::kOk : StatusCode::kTooLarge);
        if (fits) {
          f[1] = key;
          model[key] = f;
        }
      } else if (what < 8) {
        const bool stored = model.erase(key) > 0;
        ASSERT_EQ(base_.Delete(key).code(), stored ? StatusCode::kOk : StatusCode::kNotFound);
      } else {
        FieldArray f;
        auto it = model.find(key);
        const bool stored = it != model.end();
        ASSERT_EQ(base_.Read(key, f).code(), stored ? StatusCode::kOk : StatusCode::kNotFound);
        if (stored) {
          ASSERT_EQ(f, it->second) << key;
        } else {
          ASSERT_EQ(f, FieldArray()) << key;  // an absent record leaves every slot empty
        }
      }
    }
    base_.Close();
  }
  ASSERT_TRUE(base_.Open(name_, kPersonRead).ok());
  std::vector<std::string> expected;
  for (auto& [k, f] : model) expected.push_back(k);
  EXPECT_EQ(base_.ListKeys(".", 0), expected);
  base_.Close();
  DatabaseCheck c = CheckDatabase(name_, false);
  EXPECT_TRUE(c.ok()) << c.problems.front();
}

}  // namespace
}  // namespace kv::db

namespace kv::db {
namespace {

// The block of the record file that holds key, or -1.
int BlockHolding(const std::vector<uint8_t>& bod, std::string_view key) {
  for (size_t b = 0; b * kBlockSize < bod.size(); ++b) {
    BlockContents c;
    (void)ParseBlock(bod.data() + b * kBlockSize, &c);
    for (const BlockEntry& e : c.entries)
      if (e.key == key) return static_cast<int>(b);
  }
  return -1;
}

// Offset of the value word of key in an index file, or 0.
size_t IndexValueOffset(const std::vector<uint8_t>& btr, std::string_view key) {
  for (size_t i = 2048; i + 4 + key.size() <= btr.size(); ++i)
    if (Get16(btr, i) == static_cast<int>(key.size()) &&
        std::equal(key.begin(), key.end(), btr.begin() + static_cast<long>(i) + 2))
      return i + 2 + key.size();
  return 0;
}

// Opening for writing checks the whole database: damage anywhere refuses every change,
// even one whose own blocks and index pages are sound, and leaves both files as they were.
TEST_F(RecordStoreTest, DamageAnywhereRefusesWritingAndKeepsTheFiles) {
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  ASSERT_TRUE(base_.Write(".1", Card({{2, "one"}})).ok());
  ASSERT_TRUE(base_.Write(".2", Card({{2, "two"}})).ok());
  for (int i = 1; i <= 4; ++i)  // one block each
    ASSERT_TRUE(base_.Write(".b" + std::to_string(i), Card({{2, "big"}, {3, std::string(3000, 'b')}})).ok());
  base_.Close();
  const std::vector<uint8_t> good_bod = FileBytes(name_ + ".bod");
  const std::vector<uint8_t> good_btr = FileBytes(name_ + ".btr");
  const int small = BlockHolding(good_bod, ".1");
  const int far = BlockHolding(good_bod, ".b3");
  const int last = static_cast<int>(good_bod.size() / kBlockSize) - 1;
  ASSERT_GE(small, 0);
  ASSERT_NE(far, small);
  ASSERT_NE(BlockHolding(good_bod, ".b2"), small);
  ASSERT_NE(BlockHolding(good_bod, ".b2"), far);
  ASSERT_NE(last, small);
  ASSERT_EQ(BlockHolding(good_bod, ".2"), small);

  // Sound files: the same calls go through.
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  EXPECT_TRUE(base_.damage().ok());
  base_.Close();
  EXPECT_TRUE(g_warnings.empty());

  struct Case {
    const char* name;
    const char* file;  // the damaged one, named in the message
    std::vector<uint8_t> bod, btr;
  };
  std::vector<Case> cases;
  {
    Case c{"a far block cuts its entry", ".bod", good_bod, good_btr};
    Set16(c.bod, static_cast<size_t>(far) * kBlockSize, 20);
    cases.push_back(c);
  }
  {
    Case c{"a far block with a negative data length", ".bod", good_bod, good_btr};
    Set16(c.bod, static_cast<size_t>(far) * kBlockSize + 2 + 2 + 3, -7);
    cases.push_back(c);
  }
  {
    Case c{"a key points at a block that does not hold it", ".btr", good_bod, good_btr};
    const size_t off = IndexValueOffset(c.btr, ".b3");
    ASSERT_NE(off, 0u);
    Set16(c.btr, off, BlockHolding(good_bod, ".b4"));
    cases.push_back(c);
  }
  {
    Case c{"the last block is cut off the file", ".btr", good_bod, good_btr};
    c.bod.resize(static_cast<size_t>(last) * kBlockSize);
    cases.push_back(c);
  }
  {
    // ".2" renamed ".1" in its block: the block holds ".1" twice, no block holds ".2".
    Case c{"a block holds one key twice", ".bod", good_bod, good_btr};
    const size_t first = static_cast<size_t>(small) * kBlockSize + 2;
    const size_t second = first + 4 + 2 + static_cast<size_t>(Get16(c.bod, first + 4));
    ASSERT_EQ(Get16(c.bod, second), 2);
    ASSERT_EQ(c.bod[second + 3], '2');
    c.bod[second + 3] = '1';
    cases.push_back(c);
  }
  {
    Case c{"an index page with free bytes beyond the page", ".btr", good_bod, good_btr};
    Set16(c.btr, 2048, 5000);
    cases.push_back(c);
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(name_ + ".bod", c.bod);
    WriteBytes(name_ + ".btr", c.btr);
    ASSERT_FALSE(CheckDatabase(name_, false).ok());
    g_warnings.clear();
    ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
    EXPECT_TRUE(base_.damage().IsCorruption());
    ASSERT_EQ(g_warnings.size(), 1u);
    EXPECT_NE(g_warnings[0].find(name_ + c.file), std::string::npos) << g_warnings[0];
    EXPECT_EQ(WriteResult(base_.Write(".new", Card({{2, "new"}}))), kWriteRefused);
    EXPECT_TRUE(base_.Write(".1", Card({{2, "ONE"}})).IsCorruption());
    EXPECT_TRUE(base_.Delete(".b2").IsCorruption());
    std::string key;
    EXPECT_FALSE(base_.NextFreeKey(&key, ".").ok());
    base_.Close();
    EXPECT_EQ(g_warnings.size(), 1u);
    EXPECT_EQ(FileBytes(name_ + ".bod"), c.bod);
    EXPECT_EQ(FileBytes(name_ + ".btr"), c.btr);
    // Reading is still allowed: what is sound can be looked at and copied out.
    ASSERT_TRUE(base_.Open(name_, kPersonRead).ok());
    FieldArray f;
    if (base_.Read(".b1", f).ok()) {
      EXPECT_EQ(f[2], "big");
    }
    base_.Close();
  }
}

}  // namespace
}  // namespace kv::db
