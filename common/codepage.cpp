#include "common/codepage.h"

#include <array>
#include <unordered_map>

namespace kv {
namespace {

// Upper halves (0x80..0xFF) of both code pages as Unicode. The lower halves are ASCII.
constexpr char16_t kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0 А..
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0 а..
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

constexpr char16_t kCp866High[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 80 А..
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // A0 а..п
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0 box drawing
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // E0 р..я
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

// The byte maps between the pages: characters both pages have map to each other;
// the bytes left over on each side (box drawing in 866, typographic signs in 1251)
// are paired in ascending order, which keeps every conversion reversible.
struct ByteMaps {
  std::array<unsigned char, 256> to1251{};
  std::array<unsigned char, 256> to866{};
};

const ByteMaps& Maps() {
  static const ByteMaps maps = [] {
    ByteMaps m;
    std::array<bool, 128> used1251{}, used866{};
    for (int c = 0; c < 128; ++c) m.to1251[c] = m.to866[c] = static_cast<unsigned char>(c);
    for (int i = 0; i < 128; ++i) {
      for (int j = 0; j < 128; ++j) {
        if (!used1251[j] && kCp866High[i] == kCp1251High[j]) {
          m.to1251[128 + i] = static_cast<unsigned char>(128 + j);
          m.to866[128 + j] = static_cast<unsigned char>(128 + i);
          used866[i] = used1251[j] = true;
          break;
        }
      }
    }
    int j = 0;
    for (int i = 0; i < 128; ++i) {
      if (used866[i]) continue;
      while (used1251[j]) ++j;
      m.to1251[128 + i] = static_cast<unsigned char>(128 + j);
      m.to866[128 + j] = static_cast<unsigned char>(128 + i);
      used1251[j] = true;
    }
    return m;
  }();
  return maps;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at s[i], advancing i; malformed bytes give U+FFFD.
char32_t NextCodePoint(std::string_view s, size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i++]);
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
  if (extra < 0) return 0xFFFD;
  char32_t cp = c & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  }
  return cp;
}

std::string ToUtf8(std::string_view text, const char16_t* high) {
  std::string out;
  out.reserve(text.size() * 2);
  for (unsigned char c : text) AppendUtf8(out, c < 128 ? c : high[c - 128]);
  return out;
}

std::string FromUtf8(std::string_view utf8, const char16_t* high) {
  static thread_local std::unordered_map<char32_t, unsigned char> cache1251, cache866;
  auto& reverse = high == kCp1251High ? cache1251 : cache866;
  if (reverse.empty())
    for (int i = 0; i < 128; ++i) reverse.emplace(high[i], static_cast<unsigned char>(128 + i));
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp = NextCodePoint(utf8, i);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
    auto it = reverse.find(cp);
    out += it == reverse.end() ? '?' : static_cast<char>(it->second);
  }
  return out;
}

std::string MapBytes(std::string_view text, const std::array<unsigned char, 256>& map) {
  std::string out(text);
  for (auto& ch : out) ch = static_cast<char>(map[static_cast<unsigned char>(ch)]);
  return out;
}

}  // namespace

unsigned char Cp866ToCp1251(unsigned char c) { return Maps().to1251[c]; }
unsigned char Cp1251ToCp866(unsigned char c) { return Maps().to866[c]; }
std::string Cp866ToCp1251(std::string_view text) { return MapBytes(text, Maps().to1251); }
std::string Cp1251ToCp866(std::string_view text) { return MapBytes(text, Maps().to866); }

char32_t Cp1251ToUnicode(unsigned char c) { return c < 128 ? c : kCp1251High[c - 128]; }
char32_t Cp866ToUnicode(unsigned char c) { return c < 128 ? c : kCp866High[c - 128]; }

std::string Cp1251ToUtf8(std::string_view text) { return ToUtf8(text, kCp1251High); }
std::string Utf8ToCp1251(std::string_view utf8) { return FromUtf8(utf8, kCp1251High); }
std::string Cp866ToUtf8(std::string_view text) { return ToUtf8(text, kCp866High); }
std::string Utf8ToCp866(std::string_view utf8) { return FromUtf8(utf8, kCp866High); }

}  // namespace kv
