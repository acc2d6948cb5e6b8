// Helpers of the fuzz harnesses: quiet messages, a scratch folder per process, and
// one input split into several files for the formats that name other files.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/files.h"
#include "common/journal.h"
#include "common/messages.h"

namespace kv::fuzz {

// Messages go nowhere and the journal to /dev/null; a harness calls it first.
inline void Quiet() {
  static const bool once = [] {
    SetMessageSink({[](const std::string&) {}, [](const std::string&) {}});
    SetJournalPath("/dev/null");
    return true;
  }();
  (void)once;
}

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

// Pieces of a multi-file input are separated by this line.
inline constexpr std::string_view kFileSeparator = "\n=====\n";

// The input cut at each separator line into at most max_parts pieces (the last piece
// keeps any further separators).
inline std::vector<std::string> SplitFiles(std::string_view input, size_t max_parts) {
  std::vector<std::string> parts;
  while (parts.size() + 1 < max_parts) {
    const size_t at = input.find(kFileSeparator);
    if (at == std::string_view::npos) break;
    parts.emplace_back(input.substr(0, at));
    input.remove_prefix(at + kFileSeparator.size());
  }
  parts.emplace_back(input);
  return parts;
}

// An empty folder of this process under the temporary directory, emptied anew on each
// call.
inline std::filesystem::path FreshScratch(std::string_view harness) {
  namespace fs = std::filesystem;
  static const fs::path dir = fs::temp_directory_path() /
                              ("kv-fuzz-" + std::string(harness) + "-" + std::to_string(getpid()));
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir);
  return dir;
}

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

// The file's bytes; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::string out;
  (void)ReadWholeFile(path.string(), &out);
  return out;
}

// Stops the run so that the fuzzer keeps the input: a broken promise of the reader.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  __builtin_trap();
}

}  // namespace kv::fuzz
