// Integer and byte vectors written as "key= v1 v2 ..." lines of the settings file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace kv {

// "%s=" then " %ld" per value, "  " before every tenth value after the first, "\n".
void WriteIntList(std::FILE* f, const char* key, const int32_t* values, int n);
// "%s=" then "%d " per value, "  " before every tenth value after the first, "\n".
void WriteByteList(std::FILE* f, const char* key, const uint8_t* bytes, int n);
// The first n words as integers; values past the words present stay unchanged.
void ReadIntList(std::string_view text, int32_t* values, int n);
// The same keeping the low byte of each number.
void ReadByteList(std::string_view text, uint8_t* bytes, int n);

}  // namespace kv
