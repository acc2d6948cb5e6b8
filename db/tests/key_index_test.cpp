#include "db/btree/key_index.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "db/btree/index_check.h"
#include "db/tests/test_files.h"

namespace kv::btree {
namespace {

using kv::db::testing::FileBytes;
using kv::db::testing::Get16;
using kv::db::testing::ScratchDir;
using kv::db::testing::Set16;
using kv::db::testing::WriteBytes;

class KeyIndexTest : public ::testing::Test {
 protected:
  void SetUp() override { path_ = ScratchDir() + "/k.btr"; }
  void TearDown() override { Close(h_); }
  void Fresh(Header header = PersonIndexHeader()) {
    ASSERT_TRUE(Create(path_, header).ok());
    ASSERT_TRUE(Open(path_, h_).ok());
  }
  std::vector<std::pair<std::string, int16_t>> Walk() {
    std::vector<std::pair<std::string, int16_t>> out;
    Seek(h_, "");
    std::string k;
    int16_t v;
    while (Next(h_, &k, &v)) out.emplace_back(k, v);
    return out;
  }
  std::string path_;
  IndexHandle h_;
};

TEST_F(KeyIndexTest, FreshFileAndFirstLeafAreByteExact) {
  Fresh();
  std::vector<uint8_t> bytes = FileBytes(path_);
  ASSERT_EQ(bytes.size(), 2048u);
  const std::vector<uint8_t> head = {0x00, 0x08, 0x00, 0x08, 0x14, 0x00, 0x00, 0x00,
                                     0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10};
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 16), head);
  for (size_t i = 16; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], 0) << i;

  ASSERT_TRUE(Put(h_, ".000001", 0).ok());
  bytes = FileBytes(path_);
  ASSERT_EQ(bytes.size(), 4096u);
  const std::vector<uint8_t> page = {0xF1, 0x07, 0x01, 0x00, 0x07, 0x00, 0x2E, 0x30,
                                     0x30, 0x30, 0x30, 0x30, 0x31, 0x00, 0x00};
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 2048, bytes.begin() + 2048 + 15), page);
  EXPECT_EQ(Get16(bytes, 6), 1);
  EXPECT_EQ(Get16(bytes, 8), 1);
  EXPECT_EQ(Get16(bytes, 10), 1);
}

TEST_F(KeyIndexTest, KeyLengthsAndOrder) {
  Fresh();
  EXPECT_EQ(Put(h_, std::string(21, 'x'), 1).code(), StatusCode::kInvalidArgument);
  EXPECT_TRUE(Put(h_, std::string(20, 'x'), 1).ok());
  EXPECT_FALSE(Lookup(h_, "", nullptr));
  ASSERT_TRUE(Put(h_, "ABC", 2).ok());
  ASSERT_TRUE(Put(h_, "AB", 3).ok());
  ASSERT_TRUE(Put(h_, "\xC0\xE0", 4).ok());
  ASSERT_TRUE(Put(h_, "Z", 5).ok());
  auto all = Walk();
  std::vector<std::string> keys;
  for (auto& e : all) keys.push_back(e.first);
  EXPECT_EQ(keys, (std::vector<std::string>{"AB", "ABC", "Z", std::string(20, 'x'), "\xC0\xE0"}));
  int16_t v = 0;
  ASSERT_TRUE(Lookup(h_, "AB", &v));
  EXPECT_EQ(v, 3);
  // Replacing a value keeps the page layout.
  std::vector<uint8_t> before = FileBytes(path_);
  ASSERT_TRUE(Put(h_, "ABC", 7).ok());
  std::vector<uint8_t> after = FileBytes(path_);
  ASSERT_EQ(before.size(), after.size());
  int differing = 0;
  for (size_t i = 0; i < before.size(); ++i) differing += before[i] != after[i];
  EXPECT_EQ(differing, 1);
}

TEST_F(KeyIndexTest, SeekPositionsAtFirstKeyNotSmaller) {
  Fresh();
  EXPECT_FALSE(Next(h_, nullptr, nullptr));  // empty tree
  for (int i = 0; i < 500; ++i)
    ASSERT_TRUE(Put(h_, "k" + std::to_string(1000 + 2 * i), static_cast<int16_t>(i)).ok());
  std::string k;
  int16_t v;
  Seek(h_, "k1101");
  ASSERT_TRUE(Next(h_, &k, &v));
  EXPECT_EQ(k, "k1102");
  Seek(h_, "k1102");
  ASSERT_TRUE(Next(h_, &k, &v));
  EXPECT_EQ(k, "k1102");
  ASSERT_TRUE(Next(h_, &k, &v));
  EXPECT_EQ(k, "k1104");
  Seek(h_, "z");
  EXPECT_FALSE(Next(h_, &k, &v));
}

TEST_F(KeyIndexTest, FirstSplitMakesInnerRootAndDeepTreesStayOrdered) {
  Fresh();
  int i = 0;
  while (h_.header.depth < 2) ASSERT_TRUE(Put(h_, "key" + std::to_string(100000 + i++), 1).ok());
  std::vector<uint8_t> bytes = FileBytes(path_);
  size_t root = 2048 + 2048 * (h_.header.root - 1);
  EXPECT_EQ(Get16(bytes, root + 2), 0);                        // inner
  EXPECT_EQ(2048 - Get16(bytes, root + 0), 4 + 2 + 2 + 9 + 2 + 2);  // one entry

  // Small pages reach depth 4 quickly; every key stays findable and in order.
  Close(h_);
  Header small = PersonIndexHeader();
  small.page_size = 128;
  path_ += "2";
  Fresh(small);
  std::mt19937 rng(7);
  std::map<std::string, int16_t> model;
  while (model.size() < 3000) {
    std::string key(1 + rng() % 20, ' ');
    for (char& c : key) c = static_cast<char>(32 + rng() % 224);
    int16_t value = static_cast<int16_t>(rng() % 30000);
    ASSERT_TRUE(Put(h_, key, value).ok());
    model[key] = value;
  }
  EXPECT_GE(h_.header.depth, 4);
  auto walked = Walk();
  std::vector<std::pair<std::string, int16_t>> expected(model.begin(), model.end());
  EXPECT_EQ(walked, expected);
  IndexCheck c = CheckIndexFile(path_);
  EXPECT_TRUE(c.problems.empty()) << c.problems.front();
}

// A depth-2 tree built by hand: root page 1 = [2] "M"=5 [3]; page 2 = A, C; page 3 = X.
std::vector<uint8_t> HandMadeTree() {
  std::vector<uint8_t> f(2048 + 3 * 128, 0);
  Set16(f, 0, 2048);
  Set16(f, 2, 128);
  Set16(f, 4, 20);
  Set16(f, 6, 2);
  Set16(f, 8, 3);
  Set16(f, 10, 1);
  size_t p1 = 2048, p2 = 2048 + 128, p3 = 2048 + 256;
  // root: head, leftmost 2, entry len 1 "M" value 5 child 3
  Set16(f, p1 + 0, 128 - (4 + 2 + 7));
  Set16(f, p1 + 2, 0);
  Set16(f, p1 + 4, 2);
  Set16(f, p1 + 6, 1);
  f[p1 + 8] = 'M';
  Set16(f, p1 + 9, 5);
  Set16(f, p1 + 11, 3);
  Set16(f, p2 + 0, 128 - (4 + 5 + 5));
  Set16(f, p2 + 2, 1);
  Set16(f, p2 + 4, 1);
  f[p2 + 6] = 'A';
  Set16(f, p2 + 7, 1);
  Set16(f, p2 + 9, 1);
  f[p2 + 11] = 'C';
  Set16(f, p2 + 12, 2);
  Set16(f, p3 + 0, 128 - (4 + 5));
  Set16(f, p3 + 2, 1);
  Set16(f, p3 + 4, 1);
  f[p3 + 6] = 'X';
  Set16(f, p3 + 7, 3);
  return f;
}

TEST_F(KeyIndexTest, AbsentEntriesInInnerPages) {
  WriteBytes(path_, HandMadeTree());
  ASSERT_TRUE(Open(path_, h_).ok());
  auto all = Walk();
  ASSERT_EQ(all, (std::vector<std::pair<std::string, int16_t>>{{"A", 1}, {"C", 2}, {"M", 5}, {"X", 3}}));
  ASSERT_TRUE(Remove(h_, "M").ok());
  int16_t v = 0;
  EXPECT_FALSE(Lookup(h_, "M", &v));  // the separator stays, marked absent
  all = Walk();
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[2], (std::pair<std::string, int16_t>{"M", -1}));
  std::vector<uint8_t> before = FileBytes(path_);
  EXPECT_TRUE(Remove(h_, "M").IsNotFound());  // absent already: nothing to remove
  EXPECT_EQ(FileBytes(path_), before);
  ASSERT_TRUE(Put(h_, "M", 9).ok());  // revived in place
  std::vector<uint8_t> after = FileBytes(path_);
  EXPECT_EQ(Get16(after, 2048 + 9), 9);
  before[2048 + 9] = after[2048 + 9];
  before[2048 + 10] = after[2048 + 10];
  EXPECT_EQ(before, after);
  ASSERT_TRUE(Remove(h_, "A").ok());  // leaf removal moves the bytes down
  EXPECT_FALSE(Lookup(h_, "A", nullptr));
  ASSERT_TRUE(Lookup(h_, "C", &v));
  EXPECT_EQ(v, 2);
  EXPECT_TRUE(Remove(h_, "B").IsNotFound());
}

// Each damaged file is refused: the damage is named and not a byte changes.
struct Damage {
  const char* name;
  void (*apply)(std::vector<uint8_t>&);
  bool refused_at_open;
};

const Damage kDamages[] = {
    {"depth above the search path", [](std::vector<uint8_t>& f) { Set16(f, 6, 11); }, true},
    {"pages beyond the file", [](std::vector<uint8_t>& f) { Set16(f, 8, 9); }, true},
    {"root beyond the pages", [](std::vector<uint8_t>& f) { Set16(f, 10, 4); }, true},
    {"page size too small", [](std::vector<uint8_t>& f) { Set16(f, 2, 8); }, true},
    {"key length past the page", [](std::vector<uint8_t>& f) { Set16(f, 2048 + 128 + 4, 300); }, false},
    {"negative key length", [](std::vector<uint8_t>& f) { Set16(f, 2048 + 128 + 4, -3); }, false},
    {"free count cuts an entry", [](std::vector<uint8_t>& f) { Set16(f, 2048 + 128, 128 - 12); }, false},
    {"free count above the page", [](std::vector<uint8_t>& f) { Set16(f, 2048 + 128, 500); }, false},
    {"child beyond the pages", [](std::vector<uint8_t>& f) { Set16(f, 2048 + 4, 77); }, false},
    {"child loops to the root", [](std::vector<uint8_t>& f) { Set16(f, 2048 + 4, 1); }, false},
    {"leaf flag garbage", [](std::vector<uint8_t>& f) { Set16(f, 2048 + 256 + 2, 5); }, false},
    {"keys out of order across pages", [](std::vector<uint8_t>& f) { f[2048 + 256 + 6] = 'B'; }, false},
};

TEST_F(KeyIndexTest, DamagedFilesAreRefusedAndKeptUnchanged) {
  for (const Damage& d : kDamages) {
    SCOPED_TRACE(d.name);
    std::vector<uint8_t> file = HandMadeTree();
    d.apply(file);
    WriteBytes(path_, file);
    IndexHandle h;
    const Status opened = Open(path_, h);
    if (d.refused_at_open) {
      EXPECT_TRUE(opened.IsCorruption());
      EXPECT_TRUE(h.status.IsCorruption());
    } else {
      ASSERT_TRUE(opened.ok());
      for (const char* key : {"A", "C", "X", "Q"}) Lookup(h, key, nullptr);
      Seek(h, "");
      for (int i = 0; i < 100 && Next(h, nullptr, nullptr); ++i) {
      }
      EXPECT_TRUE(h.status.IsCorruption());
      EXPECT_TRUE(Put(h, "B", 1).IsCorruption());
      EXPECT_TRUE(Remove(h, "C").IsCorruption());
    }
    Close(h);
    EXPECT_EQ(FileBytes(path_), file);
    EXPECT_FALSE(CheckIndexFile(path_).problems.empty());
  }
}

TEST_F(KeyIndexTest, ModelOfRandomOperationsAcrossReopens) {
  Fresh();
  const int ops = kv::db::testing::ModelOps(100000);
  std::mt19937 rng(20240601);
  std::map<std::string, int16_t> model;
  auto random_key = [&] {
    // Few distinct first bytes so that removes and replacements hit stored keys.
    std::string key(1 + rng() % 20, ' ');
    for (char& c : key) c = static_cast<char>("abAB\xC0\xFF"[rng() % 6]);
    return key;
  };
  const int phases = 4;
  for (int phase = 0; phase < phases; ++phase) {
    for (int i = 0; i < ops / phases; ++i) {
      std::string key = random_key();
      int what = rng() % 10;
      if (what < 5) {
        int16_t value = static_cast<int16_t>(rng() % 32768);
        ASSERT_TRUE(Put(h_, key, value).ok());
        model[key] = value;
      } else if (what < 8) {
        bool present = model.erase(key) > 0;
        const Status removed = Remove(h_, key);
        // A key never stored, or removed before, is not there to remove.
        ASSERT_EQ(removed.code(), present ? StatusCode::kOk : StatusCode::kNotFound) << key;
        ASSERT_FALSE(Lookup(h_, key, nullptr)) << key;
      } else {
        int16_t v = -1;
        bool found = Lookup(h_, key, &v);
        auto it = model.find(key);
        ASSERT_EQ(found, it != model.end()) << key;
        if (found) {
          ASSERT_EQ(v, it->second);
        } else {
          ASSERT_EQ(v, -1) << key;  // a failed lookup leaves the value alone
        }
      }
    }
    Close(h_);
    ASSERT_TRUE(Open(path_, h_).ok());
  }
  std::vector<std::pair<std::string, int16_t>> live;
  for (auto& e : Walk())
    if (e.second >= 0) live.push_back(e);
  std::vector<std::pair<std::string, int16_t>> expected(model.begin(), model.end());
  EXPECT_EQ(live, expected);
  EXPECT_GE(h_.header.depth, 2);
  IndexCheck c = CheckIndexFile(path_);
  EXPECT_TRUE(c.problems.empty()) << c.problems.front();
}

}  // namespace
}  // namespace kv::btree
