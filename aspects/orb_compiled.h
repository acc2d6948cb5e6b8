// The compiled form of an orb block (".aoj"), little-endian:
//   offset 0          int16  record count n
//   offset 2          n records of 123 bytes (layout in orb_compiled.cpp)
//   offset 2 + 123 n  n float32 angles again, written for other readers, never read
// The decoder trusts no count it has not checked against the bytes present.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "aspects/aspect_record.h"
#include "common/status.h"

namespace kv {

inline constexpr size_t kAspectRecordBytes = 123;
inline constexpr size_t kCompiledHeaderBytes = 2;
inline constexpr size_t kMaxCompiledRecords = 32767;  // the count is a signed 16-bit field

void EncodeAspectRecord(const AspectRecord& rec, unsigned char out[kAspectRecordBytes]);
AspectRecord DecodeAspectRecord(const unsigned char in[kAspectRecordBytes]);

// The whole file for a table; records beyond kMaxCompiledRecords are not written.
std::string EncodeCompiledBlock(const AspectTable& table);

// Fills *table; with `all` false, records whose off byte has bit 0 set are dropped.
// A damaged file gives Corruption (what is wrong and where, for the journal) and the
// complete records it holds.
Status DecodeCompiledBlock(std::string_view bytes, bool all, AspectTable* table);

}  // namespace kv
