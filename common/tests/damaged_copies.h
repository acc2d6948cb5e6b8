// Damaged copies of a file for the tests of its reader: cut at many points, single
// bytes inverted and short runs zeroed, at points spread over the file and at random
// places (fixed seed). With a checksum to show that a file opened for reading kept
// every byte.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/files.h"

namespace kv::testing {

struct DamagedCopy {
  std::string what;
  std::string bytes;
};

// `spread` points of each kind evenly over the file plus as many at random places.
inline std::vector<DamagedCopy> DamagedCopies(const std::string& good, unsigned seed,
                                              size_t spread = 48) {
  std::vector<DamagedCopy> out;
  if (good.empty()) return out;
  const size_t n = good.size();
  std::vector<size_t> points;
  for (size_t i = 0; i < spread; ++i) points.push_back(i * n / spread);
  std::mt19937 random(seed);
  std::uniform_int_distribution<size_t> place(0, n - 1);
  for (size_t i = 0; i < spread; ++i) points.push_back(place(random));
  for (size_t cut : {size_t(0), size_t(1), n / 2, n - 1}) points.push_back(cut);

  for (size_t at : points) {
    out.push_back({"cut to " + std::to_string(at) + " bytes", good.substr(0, at)});
    std::string inverted = good;
    inverted[at] = static_cast<char>(~inverted[at]);
    out.push_back({"byte " + std::to_string(at) + " inverted", inverted});
    std::string zeroed = good;
    for (size_t i = at; i < at + 4 && i < n; ++i) zeroed[i] = '\0';
    if (zeroed != good) out.push_back({"4 bytes zeroed at " + std::to_string(at), zeroed});
  }
  return out;
}

// FNV-1a, 64 bits.
inline uint64_t Checksum(const std::string& bytes) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  return h;
}

// The file's bytes; empty when it cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path) {
  std::string out;
  (void)ReadWholeFile(path.string(), &out);
  return out;
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

}  // namespace kv::testing
