// Shared by the aspect tests: a fresh working directory per test, captured warnings,
// and file writing with chosen modification times.
#pragma once

#include <gtest/gtest.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "common/journal.h"
#include "common/messages.h"

namespace kv::testing_support {

inline std::vector<std::string>& Shown() {
  static std::vector<std::string> shown;
  return shown;
}
inline void Capture(const std::string& text) { Shown().push_back(text); }

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void SetMtime(const std::string& path, std::time_t t) {
  struct timeval tv[2] = {{t, 0}, {t, 0}};
  ASSERT_EQ(::utimes(path.c_str(), tv), 0) << path;
}

// Formats of the text-resource file that take arguments; other keys show as themselves.
inline std::string TestTexts(std::string_view key) {
  if (key == "F%is") return "exists: %s";
  if (key == "DF%") return "cannot delete %s";
  return std::string(key);
}

// Runs each test in a directory of its own (ctest runs tests in parallel) with
// warnings captured instead of printed.
class WorkdirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/kv_aspects_XXXXXX";
    ASSERT_NE(::mkdtemp(templ), nullptr);
    dir_ = templ;
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    SetJournalPath(dir_ + "/jur.jur");
    Shown().clear();
    old_sink_ = SetMessageSink({&Capture, &Capture});
    SetTextLookup(&TestTexts);
  }
  void TearDown() override {
    SetMessageSink(old_sink_);
    SetTextLookup(nullptr);
    SetJournalPath(kJournalFile);
    std::filesystem::current_path(old_cwd_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string dir_;
  std::filesystem::path old_cwd_;
  MessageSink old_sink_;
};

}  // namespace kv::testing_support
