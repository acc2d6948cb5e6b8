#include "common/export_names.h"

namespace kv {

const char* PictureExtension(PictureFormat format) {
  return format == PictureFormat::kBmp ? ".bmp" : ".jpg";
}

std::string PictureFileName(std::string_view typed, PictureFormat format) {
  std::string name(typed);
  if (name.find('.') == std::string::npos) name += PictureExtension(format);
  return name;
}

std::string FileStemOf(std::string_view text, std::string_view fallback) {
  std::string stem;
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    const bool bad = u < 0x20 || u == 0x7F || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
    stem.push_back(bad ? '_' : c);
  }
  const size_t first = stem.find_first_not_of(" .");
  if (first == std::string::npos) return std::string(fallback);
  stem = stem.substr(first, stem.find_last_not_of(" .") - first + 1);
  return stem;
}

}  // namespace kv
