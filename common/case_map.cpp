#include "common/case_map.h"

namespace kv {

unsigned char LowerOem(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 128 && c <= 143) return static_cast<unsigned char>(c + 32);
  if (c >= 144 && c <= 159) return static_cast<unsigned char>(c + 80);
  if (c == 240) return 241;
  return c;
}

void UpperAnsi(std::string& text) {
  for (auto& ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if ((c >= 97 && c <= 122) || c >= 224) ch = static_cast<char>(c - 32);
  }
}

}  // namespace kv
