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
#include "db/io/file_writer.h"
#include "db/records/database_check.h"
#include "db/records/record_store.h"
#include "db/tests/test_files.h"

namespace kv::db {
namespace {

using testing::FileBytes;
using testing::ScratchDir;
using testing::WriteBytes;

std::vector<std::string> g_warnings;
void Collect(const std::string& text) { g_warnings.push_back(text); }

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
    previous_ = SetMessageSink({Collect, Collect});
    g_warnings.clear();
    ASSERT_TRUE(Create(name_).ok());
  }
  void TearDown() override {
    base_.Close();
    SetMessageSink(previous_);
  }
  Database base_;
  RecordingWriter writer_;
  std::string dir_, name_;
  MessageSink previous_;
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

}  // namespace
}  // namespace kv::db
