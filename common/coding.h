// Fixed-width little-endian fields of the stored formats: the key index and record
// files of the databases, the compiled orb blocks, the ephemeris files. Every format
// module reads and writes its integers through these, so the byte order lives in one
// place. The callers check that the bytes are present; these only move bits.
#pragma once

#include <bit>
#include <cstdint>
#include <string>

namespace kv {

inline uint16_t DecodeFixed16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline int16_t DecodeInt16(const uint8_t* p) { return static_cast<int16_t>(DecodeFixed16(p)); }
inline uint32_t DecodeFixed32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline int32_t DecodeInt32(const uint8_t* p) { return static_cast<int32_t>(DecodeFixed32(p)); }
inline float DecodeFloat32(const uint8_t* p) { return std::bit_cast<float>(DecodeFixed32(p)); }

// The low 16 bits of v (a negative int16 value keeps its two's-complement bytes).
inline void EncodeFixed16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v & 0xFF);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void EncodeInt16(uint8_t* p, int v) { EncodeFixed16(p, static_cast<uint16_t>(v)); }
inline void EncodeFixed32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void EncodeFloat32(uint8_t* p, float f) { EncodeFixed32(p, std::bit_cast<uint32_t>(f)); }

// Appends the two bytes of v to dst.
inline void PutFixed16(std::string* dst, uint16_t v) {
  dst->push_back(static_cast<char>(v & 0xFF));
  dst->push_back(static_cast<char>(v >> 8));
}

// An unsigned number of n bytes (1..8), zero-extended; little_endian false reads the
// most significant byte first (files written on big-endian machines).
inline uint64_t DecodeUnsigned(const uint8_t* p, int n, bool little_endian = true) {
  uint64_t v = 0;
  for (int i = 0; i < n; ++i) v = (v << 8) | p[little_endian ? n - 1 - i : i];
  return v;
}

}  // namespace kv
