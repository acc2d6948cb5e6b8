#include "common/key_value_lists.h"

#include "common/tokens.h"

namespace kv {

void WriteIntList(std::FILE* f, const char* key, const int32_t* values, int n) {
  std::fprintf(f, "%s=", key);
  for (int i = 0; i < n; ++i) {
    if (i > 0 && i % 10 == 0) std::fputs("  ", f);
    std::fprintf(f, " %ld", static_cast<long>(values[i]));
  }
  std::fputc('\n', f);
}

void WriteByteList(std::FILE* f, const char* key, const uint8_t* bytes, int n) {
  std::fprintf(f, "%s=", key);
  for (int i = 0; i < n; ++i) {
    if (i > 0 && i % 10 == 0) std::fputs("  ", f);
    std::fprintf(f, "%d ", bytes[i]);
  }
  std::fputc('\n', f);
}

void ReadIntList(std::string_view text, int32_t* values, int n) {
  auto words = Tokens(text);
  for (int i = 0; i < n && i < static_cast<int>(words.size()); ++i)
    values[i] = static_cast<int32_t>(ReadInt(words[i]));
}

void ReadByteList(std::string_view text, uint8_t* bytes, int n) {
  auto words = Tokens(text);
  for (int i = 0; i < n && i < static_cast<int>(words.size()); ++i)
    bytes[i] = static_cast<uint8_t>(ReadInt(words[i]) & 0xFF);
}

}  // namespace kv
