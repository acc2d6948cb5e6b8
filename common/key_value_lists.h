// Integer and byte vectors written as "key= v1 v2 ..." lines of the settings file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace kv {

// "%s=" then " %ld" per value, "  " before every tenth value after the first, "\n".
std::string IntListLine(std::string_view key, const int32_t* values, int n);
// "%s=" then "%d " per value, "  " before every tenth value after the first, "\n".
std::string ByteListLine(std::string_view key, const uint8_t* bytes, int n);
// The same lines written to a file.
void WriteIntList(std::FILE* f, const char* key, const int32_t* values, int n);
void WriteByteList(std::FILE* f, const char* key, const uint8_t* bytes, int n);
// The first n words as integers; values past the words present stay unchanged.
void ReadIntList(std::string_view text, int32_t* values, int n);
// The same keeping the low byte of each number.
void ReadByteList(std::string_view text, uint8_t* bytes, int n);

}  // namespace kv
