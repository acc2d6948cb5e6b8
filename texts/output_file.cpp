#include "texts/output_file.h"

#include <cstdio>
#include <system_error>

#include "common/messages.h"

namespace kv {
namespace fs = std::filesystem;

std::string OutputTitle(std::string_view title) {
  std::string s = "\n ";
  s.append(title);
  s.append("\n\n");
  return s;
}

fs::path FreeFileName(const fs::path& dir, std::string_view prefix, std::string_view ext) {
  std::error_code ec;
  for (int i = 1;; ++i) {
    std::string counter = std::to_string(i);
    if (counter.size() < 4) counter.insert(0, 4 - counter.size(), '0');
    fs::path p = dir / (std::string(prefix) + counter + "." + std::string(ext));
    if (!fs::exists(p, ec) && !fs::is_symlink(p, ec)) return p;
  }
}

bool WriteNewFile(const fs::path& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wbx");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fflush(f) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (!ok) std::remove(path.c_str());
  return ok;
}

std::optional<fs::path> WriteOutputTextFile(const fs::path& dir, std::string_view title,
                                            std::string_view body) {
  std::string all = OutputTitle(title);
  all.append(body);
  // Another program may take a free name between the test and the creation: try on.
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path p = FreeFileName(dir, "kvt", "tmp");
    if (WriteNewFile(p, all)) return p;
    std::error_code ec;
    if (!fs::exists(p, ec)) break;  // not a race: the folder refuses the file
  }
  WarningKey("tmp");
  return std::nullopt;
}

}  // namespace kv
