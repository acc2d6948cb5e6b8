// The two 8-bit code pages the program's texts live in: 1251 (the user interface,
// person databases, kvi.ini) and 866 (text resources, text collections, help,
// scripts, towns data). Conversion between them is a byte-for-byte bijection, so a
// text converted there and back is unchanged whatever it holds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

unsigned char Cp866ToCp1251(unsigned char c);
unsigned char Cp1251ToCp866(unsigned char c);
std::string Cp866ToCp1251(std::string_view text);
std::string Cp1251ToCp866(std::string_view text);

// Unicode code point of a byte in each code page.
char32_t Cp1251ToUnicode(unsigned char c);
char32_t Cp866ToUnicode(unsigned char c);

// UTF-8 at the edges (terminal, widgets). Characters the code page lacks become '?'.
std::string Cp1251ToUtf8(std::string_view text);
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp866ToUtf8(std::string_view text);
std::string Utf8ToCp866(std::string_view utf8);

// Shorthand for literals in the sources, which are UTF-8.
inline std::string W(std::string_view utf8) { return Utf8ToCp1251(utf8); }

}  // namespace kv
