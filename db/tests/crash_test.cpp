// A child process writes and deletes records until it is killed at a random moment.
// After every kill both files must be consistent and every write that returned must
// be readable; only the call in flight may have gone either way.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>

#include "db/records/database_check.h"
#include "db/records/record_store.h"
#include "db/tests/test_files.h"

namespace kv::db {
namespace {

struct Op {
  char kind = 0;  // 'W' write, 'D' delete
  std::string key, value;
};

// Runs in the child: logs "B op" before each call and "A" after it returns.
[[noreturn]] void WriteUntilKilled(const std::string& name, const std::string& log, unsigned seed) {
  int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  Database base;
  if (fd < 0 || !base.Open(name, kPersonWrite).ok()) _exit(3);
  std::mt19937 rng(seed);
  for (long i = 0;; ++i) {
    char key[16];
    std::snprintf(key, sizeof key, ".%06u", static_cast<unsigned>(rng() % 3000));
    bool del = rng() % 6 == 0;
    std::string value = "v" + std::to_string(seed) + "-" + std::to_string(i);
    std::string line = std::string(del ? "D " : "W ") + key + " " + value + "\n";
    if (::write(fd, line.data(), line.size()) < 0) _exit(4);
    if (del) {
      (void)base.Delete(key);  // a key that is not there is no failure here
    } else {
      FieldArray f;
      f[2] = value;
      f[3] = std::string(rng() % 1200, 'x');  // varying sizes move records between blocks
      if (!base.Write(key, f).ok()) _exit(5);
    }
    if (::write(fd, "A\n", 2) < 0) _exit(4);
  }
}

TEST(CrashConsistencyTest, KilledWriterLeavesConsistentFiles) {
  std::string dir = testing::ScratchDir();
  std::string name = dir + "/cards";
  ASSERT_TRUE(Create(name).ok());
  const char* env = std::getenv("KV_DB_CRASH_ROUNDS");
  const int rounds = env && std::atoi(env) > 0 ? std::atoi(env) : 12;
  std::mt19937 rng(4711);
  std::map<std::string, std::string> committed;  // key -> field 2 of the last acknowledged write
  int total_ops = 0;
  for (int round = 0; round < rounds; ++round) {
    std::string log = dir + "/log" + std::to_string(round);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) WriteUntilKilled(name, log, 1000 + round);
    usleep(2000 + rng() % 40000);
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << WEXITSTATUS(status);

    std::ifstream in(log);
    std::string line;
    std::optional<Op> pending;
    while (std::getline(in, line)) {
      if (line == "A") {
        ASSERT_TRUE(pending);
        if (pending->kind == 'W') committed[pending->key] = pending->value;
        else committed.erase(pending->key);
        pending.reset();
        ++total_ops;
      } else if (line.size() > 2) {
        std::istringstream words(line);
        Op op;
        words >> op.kind >> op.key >> op.value;
        pending = op;
      }
    }
    DatabaseCheck check = CheckDatabase(name, false);
    ASSERT_TRUE(check.ok()) << "round " << round << ": " << check.problems.front();

    Database base;
    ASSERT_TRUE(base.Open(name, kPersonRead).ok());
    FieldArray f;
    for (const auto& [key, value] : committed) {
      if (pending && pending->key == key) continue;
      ASSERT_TRUE(base.Read(key, f).ok()) << key;
      ASSERT_EQ(f[2], value) << key;
    }
    if (pending) {
      // The call in flight either happened or did not.
      const bool found = base.Read(pending->key, f).ok();
      auto it = committed.find(pending->key);
      bool before = it != committed.end() ? found && f[2] == it->second : !found;
      bool after = pending->kind == 'W' ? found && f[2] == pending->value : !found;
      ASSERT_TRUE(before || after) << pending->key;
      if (after) {
        if (pending->kind == 'W') committed[pending->key] = pending->value;
        else committed.erase(pending->key);
      }
    }
    std::vector<std::string> keys = base.ListKeys(".", 0);
    base.Close();
    std::vector<std::string> expected;
    for (const auto& [key, value] : committed) expected.push_back(key);
    ASSERT_EQ(keys, expected) << "round " << round;
  }
  EXPECT_GT(total_ops, rounds);
  RecordProperty("acknowledged_operations", total_ops);
}

}  // namespace
}  // namespace kv::db
