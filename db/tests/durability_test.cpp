// What reaches the disk and when. A recording writer sits between the database and its
// files: every change that returned Ok must have flushed each file after its last write
// to it, and a power cut after any write, losing any of the writes not yet flushed,
// must leave files that hold the old or the new state, or that opening refuses as
// damaged, never a third state.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "common/messages.h"
#include "common/tests/captured_messages.h"
#include "db/io/file_writer.h"
#include "db/records/database_check.h"
#include "db/records/record_store.h"
#include "db/tests/test_files.h"

namespace kv::db {
namespace {

using testing::FileBytes;
using testing::ScratchDir;
using testing::WriteBytes;

std::vector<std::string>& g_warnings = kv::testing::CapturedMessages::Texts();

struct Event {
  bool sync = false;
  std::string file;
  int64_t offset = 0;
  std::vector<uint8_t> bytes;
};

class RecordingWriter final : public FileWriter {
 public:
  std::vector<Event> events;
  bool fail_sync = false;

  bool WriteAt(int fd, const std::string& file, const void* data, size_t n,
               int64_t offset) override {
    const auto* p = static_cast<const uint8_t*>(data);
    events.push_back({false, file, offset, std::vector<uint8_t>(p, p + n)});
    return SystemFileWriter().WriteAt(fd, file, data, n, offset);
  }
  bool Sync(int fd, const std::string& file) override {
    if (fail_sync) return false;
    events.push_back({true, file, 0, {}});
    return SystemFileWriter().Sync(fd, file);
  }
};

using Content = std::map<std::string, FieldArray>;

FieldArray Card(const std::string& key, const std::string& name, size_t extra) {
  FieldArray f;
  f[1] = key;
  f[2] = name;
  if (extra) f[3] = std::string(extra, 'x');
  return f;
}

// Every record of a database that passed the check, by key.
Content ReadAll(const std::string& name) {
  Content out;
  Database base;
  if (!base.Open(name, kPersonRead).ok()) return out;
  for (const std::string& key : base.ListKeys(".", 0)) {
    FieldArray f;
    if (base.Read(key, f).ok()) out[key] = f;
  }
  base.Close();
  return out;
}

class DurabilityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ScratchDir();
    name_ = dir_ + "/cards";
    ASSERT_TRUE(Create(name_).ok());
  }
  void TearDown() override {
    base_.Close();
  }
  Database base_;
  RecordingWriter writer_;
  std::string dir_, name_;
  kv::testing::CapturedMessages messages_;
};

// After a change returned Ok each file it wrote has been flushed since; within the
// change, a write to one file waits until what went to the other is flushed, so no
// order of losses can keep a key and lose its record.
TEST_F(DurabilityTest, EveryChangeIsOnTheDiskBeforeItReturns) {
  base_.SetFileWriter(&writer_);
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  std::mt19937 rng(5);
  int changes = 0;
  for (int i = 0; i < 400; ++i) {
    writer_.events.clear();
    const std::string key = "." + std::to_string(rng() % 150);
    const Status done = rng() % 5 == 0 ? base_.Delete(key)
                                        : base_.Write(key, Card(key, "n", rng() % 2500));
    if (done.IsNotFound()) continue;
    ASSERT_TRUE(done.ok()) << done.message();
    ++changes;
    std::map<std::string, bool> unflushed;
    std::string last_file;
    for (const Event& e : writer_.events) {
      if (e.sync) {
        unflushed[e.file] = false;
        continue;
      }
      for (const auto& [file, pending] : unflushed)
        ASSERT_FALSE(file != e.file && pending) << "change " << i << ": " << e.file
                                                << " written while " << file << " is not flushed";
      unflushed[e.file] = true;
    }
    for (const auto& [file, pending] : unflushed) ASSERT_FALSE(pending) << file << ", change " << i;
  }
  EXPECT_GT(changes, 300);

  // A bulk load flushes at Flush, and only what it wrote.
  base_.SetFlushEachChange(false);
  writer_.events.clear();
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(base_.Write(".bulk" + std::to_string(i), Card("", "b", 100)).ok());
  for (const Event& e : writer_.events) ASSERT_FALSE(e.sync);
  ASSERT_TRUE(base_.Flush().ok());
  ASSERT_TRUE(writer_.events.back().sync);
  std::map<std::string, bool> flushed;
  for (const Event& e : writer_.events) flushed[e.file] = e.sync;
  for (const auto& [file, last_was_sync] : flushed) EXPECT_TRUE(last_was_sync) << file;
  EXPECT_TRUE(g_warnings.empty());
}

// A flush the system refuses is a failed change: reported once, and nothing after it.
TEST_F(DurabilityTest, AFailedFlushIsNoSuccess) {
  base_.SetFileWriter(&writer_);
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  ASSERT_TRUE(base_.Write(".1", Card(".1", "one", 0)).ok());
  writer_.fail_sync = true;
  const Status failed = base_.Write(".2", Card(".2", "two", 0));
  EXPECT_EQ(failed.code(), StatusCode::kIoError);
  EXPECT_EQ(WriteResult(failed), kWriteRefused);
  EXPECT_EQ(base_.damage().code(), StatusCode::kIoError);
  ASSERT_EQ(g_warnings.size(), 1u);
  writer_.fail_sync = false;
  auto writes = [&] {
    return std::count_if(writer_.events.begin(), writer_.events.end(), [](const Event& e) { return !e.sync; });
  };
  const auto written = writes();
  EXPECT_FALSE(base_.Write(".3", Card(".3", "three", 0)).ok());
  EXPECT_FALSE(base_.Delete(".1").ok());
  EXPECT_EQ(writes(), written);
  base_.Close();
  EXPECT_EQ(g_warnings.size(), 1u);
}

// Rebuilds the files as a power cut would leave them: the state before the change, the
// writes already flushed, and of those not flushed the ones in `kept` (a bit each).
void PutState(const std::string& name, const std::string& before_name,
              const std::vector<Event>& writes, const std::vector<int>& durable,
              const std::vector<int>& pending, unsigned kept) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const char* ext : {".btr", ".bod"}) files[ext] = FileBytes(before_name + ext);
  std::vector<int> applied = durable;
  for (size_t i = 0; i < pending.size(); ++i)
    if (kept & (1u << i)) applied.push_back(pending[i]);
  std::sort(applied.begin(), applied.end());
  for (int i : applied) {
    const Event& e = writes[static_cast<size_t>(i)];
    std::vector<uint8_t>& f = files[e.file.substr(e.file.size() - 4)];
    if (f.size() < e.offset + e.bytes.size()) f.resize(e.offset + e.bytes.size(), 0);
    std::copy(e.bytes.begin(), e.bytes.end(), f.begin() + e.offset);
  }
  for (const auto& [ext, bytes] : files) WriteBytes(name + ext, bytes);
}

// Each change of a random run is cut after every one of its writes, and at each cut
// the writes not yet flushed are lost in every combination.
TEST_F(DurabilityTest, CutAtEveryWriteLeavesTheOldOrTheNewState) {
  const std::string before_name = dir_ + "/before";
  const std::string cut_name = dir_ + "/cut";
  ASSERT_TRUE(Create(cut_name).ok());
  Content content;
  {
    ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
    base_.SetFlushEachChange(false);
    for (int i = 0; i < 90; ++i) {  // nearly one full index page
      const std::string key = ".k" + std::to_string(1000000000000000LL + i * 7);
      content[key] = Card(key, "first", (i * 37) % 900);
      ASSERT_TRUE(base_.Write(key, content[key]).ok());
    }
    base_.Close();
  }
  base_.SetFileWriter(&writer_);
  base_.SetFlushEachChange(true);
  ASSERT_TRUE(base_.Open(name_, kPersonWrite).ok());
  std::mt19937 rng(77);
  int states = 0, old_states = 0, new_states = 0, refused = 0, splits = 0;
  for (int op = 0; op < 120; ++op) {
    SCOPED_TRACE("change " + std::to_string(op));
    for (const char* ext : {".btr", ".bod"}) WriteBytes(before_name + ext, FileBytes(name_ + ext));
    const size_t index_size = FileBytes(name_ + ".btr").size();
    Content after = content;
    writer_.events.clear();
    const int kind = rng() % 8;
    std::string key;
    if (kind == 0 && !content.empty()) {  // delete
      auto it = content.begin();
      std::advance(it, rng() % content.size());
      key = it->first;
      after.erase(key);
      ASSERT_TRUE(base_.Delete(key).ok());
    } else {
      if (kind == 1 && !content.empty()) {  // rewrite, often into another block
        auto it = content.begin();
        std::advance(it, rng() % content.size());
        key = it->first;
      } else {  // a new key, now and then splitting an index page
        key = ".k" + std::to_string(1000000000000000LL + 600 + rng() % 400);
      }
      after[key] = Card(key, "v" + std::to_string(op), rng() % 3000);
      ASSERT_TRUE(base_.Write(key, after[key]).ok());
    }
    if (FileBytes(name_ + ".btr").size() > index_size) ++splits;

    // Replays the events: before each write, and at the end, a cut.
    std::vector<Event> writes;
    std::map<std::string, std::vector<int>> unflushed;  // file -> writes since its flush
    std::vector<int> durable;
    auto cut = [&] {
      std::vector<int> pending;
      for (const auto& [file, list] : unflushed) pending.insert(pending.end(), list.begin(), list.end());
      ASSERT_LE(pending.size(), 12u);
      for (unsigned kept = 0; kept < (1u << pending.size()); ++kept) {
        PutState(cut_name, before_name, writes, durable, pending, kept);
        ++states;
        const DatabaseCheck check = CheckDatabase(cut_name, false);
        if (check.ok()) {
          const Content found = ReadAll(cut_name);
          const bool is_old = found == content, is_new = found == after;
          ASSERT_TRUE(is_old || is_new) << "key " << key << ", " << writes.size() << " writes, kept "
                                        << kept << " of " << pending.size();
          old_states += is_old;
          new_states += is_new && !is_old;
          continue;
        }
        // Damaged: refused for writing, the files as they were.
        ++refused;
        const std::vector<uint8_t> bod = FileBytes(cut_name + ".bod"), btr = FileBytes(cut_name + ".btr");
        Database again;
        g_warnings.clear();
        ASSERT_TRUE(again.Open(cut_name, kPersonWrite).ok());
        EXPECT_FALSE(again.damage().ok());
        EXPECT_FALSE(again.Write(key, after[key]).ok());
        again.Close();
        EXPECT_EQ(g_warnings.size(), 1u);
        ASSERT_EQ(FileBytes(cut_name + ".bod"), bod);
        ASSERT_EQ(FileBytes(cut_name + ".btr"), btr);
      }
    };
    for (const Event& e : writer_.events) {
      if (e.sync) {
        for (int i : unflushed[e.file]) durable.push_back(i);
        unflushed[e.file].clear();
        continue;
      }
      cut();
      if (HasFatalFailure()) return;
      unflushed[e.file].push_back(static_cast<int>(writes.size()));
      writes.push_back(e);
    }
    cut();
    if (HasFatalFailure()) return;
    for (const auto& [file, list] : unflushed) ASSERT_TRUE(list.empty()) << file;
    content = after;
  }
  base_.Close();
  EXPECT_EQ(ReadAll(name_), content);
  EXPECT_GE(splits, 2);  // a new root and a split below it
  // The flushes within a change order its writes so that no cut even leaves damage.
  EXPECT_EQ(refused, 0);
  EXPECT_GT(new_states, 0);
  RecordProperty("power_cut_states", states);
  RecordProperty("refused_states", refused);
  std::printf("%d states after a cut: %d old, %d new, %d refused as damaged; %d index growths\n",
              states, old_states, new_states, refused, splits);
}

}  // namespace
}  // namespace kv::db
