#include "common/key_value_lists.h"

#include "common/numbers.h"
#include "common/tokens.h"

namespace kv {

std::string IntListLine(std::string_view key, const int32_t* values, int n) {
  std::string line(key);
  line += '=';
  for (int i = 0; i < n; ++i) {
    if (i > 0 && i % 10 == 0) line += "  ";
    line += ' ';
    line += FormatInteger(values[i]);
  }
  return line + '\n';
}

std::string ByteListLine(std::string_view key, const uint8_t* bytes, int n) {
  std::string line(key);
  line += '=';
  for (int i = 0; i < n; ++i) {
    if (i > 0 && i % 10 == 0) line += "  ";
    line += FormatInteger(bytes[i]);
    line += ' ';
  }
  return line + '\n';
}

void WriteIntList(std::FILE* f, const char* key, const int32_t* values, int n) {
  std::fputs(IntListLine(key, values, n).c_str(), f);
}

void WriteByteList(std::FILE* f, const char* key, const uint8_t* bytes, int n) {
  std::fputs(ByteListLine(key, bytes, n).c_str(), f);
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
