// Helpers of the texts tests: a scratch folder per test, files written byte by byte
// in code page 866 (the tests spell their texts in UTF-8 and convert them here), and
// the messages the code under test shows.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/journal.h"
#include "common/messages.h"

namespace kv::test {

inline std::vector<std::string>& Shown() {
  static std::vector<std::string> shown;
  return shown;
}

inline void CaptureMessage(const std::string& text) { Shown().push_back(text); }

// A fresh folder with the journal and the message sink redirected into the test.
class TextsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kvtexts.XXXXXX").string();
    dir_ = mkdtemp(tmpl.data());
    SetJournalPath((dir_ / "jur.jur").string());
    old_sink_ = SetMessageSink({&CaptureMessage, &CaptureMessage});
    Shown().clear();
  }
  void TearDown() override {
    SetMessageSink(old_sink_);
    SetTextLookup(nullptr);
    SetJournalPath(kJournalFile);
    std::error_code ec;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir_, ec);
  }

  // Writes the bytes as they are.
  void WriteBytes(const std::filesystem::path& name, const std::string& bytes) {
    std::filesystem::path p = dir_ / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
  }
  // Writes UTF-8 lines as code page 866, each followed by a line feed.
  void Write866(const std::filesystem::path& name, std::initializer_list<std::string> lines) {
    std::string bytes;
    for (const std::string& l : lines) bytes += Utf8ToCp866(l) + "\n";
    WriteBytes(name, bytes);
  }
  std::string ReadBytes(const std::filesystem::path& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  std::filesystem::path dir_;
  MessageSink old_sink_;
};

// UTF-8 lines as the 1251 lines the store returns.
inline std::vector<std::string> Lines1251(std::initializer_list<std::string> lines) {
  std::vector<std::string> out;
  for (const std::string& l : lines) out.push_back(W(l));
  return out;
}

}  // namespace kv::test
