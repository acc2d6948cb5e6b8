#include "aspects/orb_compiled.h"

#include <cstdint>
#include <cstring>

#include "common/coding.h"
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

}  // namespace

void EncodeAspectRecord(const AspectRecord& rec, unsigned char out[kAspectRecordBytes]) {
  EncodeFloat32(out + kAngleAt, rec.angle);
  for (int i = 0; i < kOrbPoints; ++i) EncodeFloat32(out + kOrbsAt + 4 * i, rec.orbs[i]);
  out[kOffAt] = rec.off;
  out[kReservedAt] = rec.reserved;
  EncodeFixed32(out + kColourAt, static_cast<uint32_t>(rec.colour));
  out[kLineKindAt] = rec.line_kind;
}

AspectRecord DecodeAspectRecord(const unsigned char in[kAspectRecordBytes]) {
  AspectRecord rec;
  rec.angle = DecodeFloat32(in + kAngleAt);
  for (int i = 0; i < kOrbPoints; ++i) rec.orbs[i] = DecodeFloat32(in + kOrbsAt + 4 * i);
  rec.off = in[kOffAt];
  rec.reserved = in[kReservedAt];
  rec.colour = DecodeInt32(in + kColourAt);
  rec.line_kind = in[kLineKindAt];
  return rec;
}

std::string EncodeCompiledBlock(const AspectTable& table) {
  size_t n = table.size() < kMaxCompiledRecords ? table.size() : kMaxCompiledRecords;
  std::string out(kCompiledHeaderBytes + n * (kAspectRecordBytes + 4), '\0');
  auto* p = reinterpret_cast<unsigned char*>(out.data());
  EncodeFixed16(p, static_cast<uint16_t>(n));
  unsigned char* angles = p + kCompiledHeaderBytes + n * kAspectRecordBytes;
  for (size_t i = 0; i < n; ++i) {
    EncodeAspectRecord(table[i], p + kCompiledHeaderBytes + i * kAspectRecordBytes);
    EncodeFloat32(angles + 4 * i, table[i].angle);
  }
  return out;
}

Status DecodeCompiledBlock(std::string_view bytes, bool all, AspectTable* table) {
  table->clear();
  if (bytes.size() < kCompiledHeaderBytes)
    return Status::Corruption(FormatMessage("%zu bytes, no record count", bytes.size()));
  auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  int count = DecodeInt16(p);
  size_t present = (bytes.size() - kCompiledHeaderBytes) / kAspectRecordBytes;
  size_t take = count < 0 ? 0 : static_cast<size_t>(count);
  Status status;
  if (count < 0) {
    status = Status::Corruption(FormatMessage("negative record count %d", count));
  } else if (take > present) {
    status = Status::Corruption(
        FormatMessage("record count %d, only %zu records present", count, present));
    take = present;
  }
  table->reserve(take);
  for (size_t i = 0; i < take; ++i) {
    AspectRecord rec = DecodeAspectRecord(p + kCompiledHeaderBytes + i * kAspectRecordBytes);
    if (all || !rec.SwitchedOff()) table->push_back(rec);
  }
  return status;
}

}  // namespace kv
