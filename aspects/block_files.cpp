#include "aspects/block_files.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace kv::block_files {

bool Replace(const std::string& path, const std::string& bytes) {
  // The same folder as the target, so the rename never crosses file systems; the
  // ".tmp" ending is one the program already clears away at exit.
  std::string temp = path + ".new.tmp";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  std::error_code ec;
  if (ok) std::filesystem::rename(temp, path, ec);
  if (!ok || ec) {
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

void RemoveIfPresent(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

}  // namespace kv::block_files
