#include "aspects/orb_compiled.h"

#include <cstdint>
#include <cstring>

#include "common/messages.h"

namespace kv {
namespace {

// Record layout, packed:
constexpr size_t kAngleAt = 0;      // float32
constexpr size_t kOrbsAt = 4;       // 28 x float32, points 1..28
constexpr size_t kOffAt = 116;      // uint8
constexpr size_t kReservedAt = 117; // uint8
constexpr size_t kColourAt = 118;   // int32
constexpr size_t kLineKindAt = 122; // uint8
static_assert(kLineKindAt + 1 == kAspectRecordBytes);
static_assert(kOrbsAt + 4 * kOrbPoints == kOffAt);

void PutU32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
uint32_t GetU32(const unsigned char* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
void PutFloat(unsigned char* p, float f) {
  uint32_t v;
  std::memcpy(&v, &f, 4);
  PutU32(p, v);
}
float GetFloat(const unsigned char* p) {
  uint32_t v = GetU32(p);
  float f;
  std::memcpy(&f, &v, 4);
  return f;
}

}  // namespace

void EncodeAspectRecord(const AspectRecord& rec, unsigned char out[kAspectRecordBytes]) {
  PutFloat(out + kAngleAt, rec.angle);
  for (int i = 0; i < kOrbPoints; ++i) PutFloat(out + kOrbsAt + 4 * i, rec.orbs[i]);
  out[kOffAt] = rec.off;
  out[kReservedAt] = rec.reserved;
  PutU32(out + kColourAt, static_cast<uint32_t>(rec.colour));
  out[kLineKindAt] = rec.line_kind;
}

AspectRecord DecodeAspectRecord(const unsigned char in[kAspectRecordBytes]) {
  AspectRecord rec;
  rec.angle = GetFloat(in + kAngleAt);
  for (int i = 0; i < kOrbPoints; ++i) rec.orbs[i] = GetFloat(in + kOrbsAt + 4 * i);
  rec.off = in[kOffAt];
  rec.reserved = in[kReservedAt];
  rec.colour = static_cast<int32_t>(GetU32(in + kColourAt));
  rec.line_kind = in[kLineKindAt];
  return rec;
}

std::string EncodeCompiledBlock(const AspectTable& table) {
  size_t n = table.size() < kMaxCompiledRecords ? table.size() : kMaxCompiledRecords;
  std::string out(kCompiledHeaderBytes + n * (kAspectRecordBytes + 4), '\0');
  auto* p = reinterpret_cast<unsigned char*>(out.data());
  p[0] = static_cast<unsigned char>(n & 0xFF);
  p[1] = static_cast<unsigned char>(n >> 8);
  unsigned char* angles = p + kCompiledHeaderBytes + n * kAspectRecordBytes;
  for (size_t i = 0; i < n; ++i) {
    EncodeAspectRecord(table[i], p + kCompiledHeaderBytes + i * kAspectRecordBytes);
    PutFloat(angles + 4 * i, table[i].angle);
  }
  return out;
}

CompiledBlock DecodeCompiledBlock(std::string_view bytes, bool all) {
  CompiledBlock result;
  if (bytes.size() < kCompiledHeaderBytes) {
    result.problem = FormatMessage("%zu bytes, no record count", bytes.size());
    return result;
  }
  auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  int count = static_cast<int16_t>(uint16_t(p[0]) | uint16_t(p[1]) << 8);
  size_t present = (bytes.size() - kCompiledHeaderBytes) / kAspectRecordBytes;
  size_t take = count < 0 ? 0 : static_cast<size_t>(count);
  if (count < 0) {
    result.problem = FormatMessage("negative record count %d", count);
  } else if (take > present) {
    result.problem = FormatMessage("record count %d, only %zu records present", count, present);
    take = present;
  }
  result.ok = result.problem.empty();
  result.table.reserve(take);
  for (size_t i = 0; i < take; ++i) {
    AspectRecord rec = DecodeAspectRecord(p + kCompiledHeaderBytes + i * kAspectRecordBytes);
    if (all || !rec.SwitchedOff()) result.table.push_back(rec);
  }
  return result;
}

}  // namespace kv
