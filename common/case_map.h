// Case mapping of the two code pages, byte by byte, as the program's files expect it.
#pragma once

#include <string>

namespace kv {

// Code page 866: "A"-"Z" -> "a"-"z"; 128..143 -> +32; 144..159 -> +80; 240 -> 241.
unsigned char LowerOem(unsigned char c);
inline char LowerOem(char c) {
  return static_cast<char>(LowerOem(static_cast<unsigned char>(c)));
}
// Code page 1251, in place: bytes 97..122 and 224..255 -> -32; all others unchanged.
void UpperAnsi(std::string& text);

}  // namespace kv
