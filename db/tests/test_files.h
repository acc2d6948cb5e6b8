// Scratch folders and raw file access for the database tests.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kv::db::testing {

inline std::string ScratchDir() {
  char tmpl[] = "/tmp/kv-db-test-XXXXXX";
  const char* made = mkdtemp(tmpl);
  return made ? std::string(made) : std::string("/tmp");
}

inline std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void Set16(std::vector<uint8_t>& b, size_t off, int v) {
  b[off] = static_cast<uint8_t>(v & 0xFF);
  b[off + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}

inline int Get16(const std::vector<uint8_t>& b, size_t off) {
  return static_cast<int16_t>(b[off] | (b[off + 1] << 8));
}

// An operation count for the long model runs: the default, or KV_DB_MODEL_OPS.
inline int ModelOps(int fallback) {
  const char* env = std::getenv("KV_DB_MODEL_OPS");
  int n = env ? std::atoi(env) : 0;
  return n > 0 ? n : fallback;
}

}  // namespace kv::db::testing
