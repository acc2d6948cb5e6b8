#include "db/records/record_block.h"

#include <cstring>

#include "common/coding.h"
#include "common/messages.h"
#include "common/tokens.h"

namespace kv::db {

void ClearFields(FieldArray& fields) {
  for (auto& f : fields) f.clear();
}

bool EncodeFields(const FieldArray& fields, std::string* data) {
  data->clear();
  for (int n = 1; n < kFieldCount; ++n) {
    size_t len = TrimmedLength(fields[n]);
    if (len == 0) continue;
    if (data->size() + 3 + len > static_cast<size_t>(kMaxRecordData)) return false;
    data->push_back(static_cast<char>(n));
    PutFixed16(data, static_cast<uint16_t>(len));
    data->append(fields[n], 0, len);
  }
  return true;
}

void DecodeFields(std::string_view data, FieldArray& fields) {
  if (data.size() > static_cast<size_t>(kMaxRecordData)) data = data.substr(0, kMaxRecordData);
  const auto* p = reinterpret_cast<const uint8_t*>(data.data());
  size_t pos = 0;
  while (data.size() - pos >= 3) {
    int n = p[pos];
    int len = DecodeInt16(p + pos + 1);
    if (len < 0 || static_cast<size_t>(len) >= data.size()) break;
    pos += 3;
    size_t take = std::min(static_cast<size_t>(len), data.size() - pos);
    if (fields[n].empty()) fields[n].assign(data.substr(pos, take));
    pos += take;
  }
}

int UsedBytes(const uint8_t* block) {
  int used = DecodeFixed16(block);
  return used > kBlockRoom ? kBlockRoom : used;
}

void SetUsedBytes(uint8_t* block, int used) { EncodeInt16(block, used); }

Status ParseBlock(const uint8_t* block, BlockContents* contents) {
  BlockContents& c = *contents;
  c = BlockContents{};
  int raw = DecodeFixed16(block);
  c.used = UsedBytes(block);
  if (raw > kBlockRoom)
    return Status::Corruption(FormatMessage("used count %d above %d", raw, kBlockRoom));
  int pos = 2;
  int end = 2 + c.used;
  while (pos < end) {
    if (end - pos < 2)
      return Status::Corruption(FormatMessage("entry at %d runs past the used part", pos));
    int klen = DecodeInt16(block + pos);
    if (klen < 1 || klen > kMaxRecordKey)
      return Status::Corruption(FormatMessage("key length %d at %d", klen, pos));
    if (end - pos < klen + 4)
      return Status::Corruption(FormatMessage("entry at %d runs past the used part", pos));
    int dlen = DecodeInt16(block + pos + 2 + klen);
    if (dlen < 0 || dlen > kMaxRecordData)
      return Status::Corruption(FormatMessage("data length %d at %d", dlen, pos));
    int size = klen + dlen + 4;
    if (end - pos < size)
      return Status::Corruption(FormatMessage("entry at %d runs past the used part", pos));
    BlockEntry e;
    e.pos = pos;
    e.size = size;
    e.key = std::string_view(reinterpret_cast<const char*>(block + pos + 2), klen);
    e.data = std::string_view(reinterpret_cast<const char*>(block + pos + 4 + klen), dlen);
    c.entries.push_back(e);
    pos += size;
  }
  return Status::Ok();
}

bool AppendEntry(uint8_t* block, std::string_view key, std::string_view data) {
  int used = UsedBytes(block);
  int size = static_cast<int>(key.size() + data.size()) + 4;
  if (used + size > kBlockRoom) return false;
  uint8_t* p = block + 2 + used;
  EncodeInt16(p, static_cast<int>(key.size()));
  std::memcpy(p + 2, key.data(), key.size());
  EncodeInt16(p + 2 + key.size(), static_cast<int>(data.size()));
  std::memcpy(p + 4 + key.size(), data.data(), data.size());
  SetUsedBytes(block, used + size);
  return true;
}

void RemoveEntryAt(uint8_t* block, int pos, int size) {
  int end = 2 + UsedBytes(block);
  std::memmove(block + pos, block + pos + size, end - pos - size);
  std::memset(block + end - size, 0, size);
  SetUsedBytes(block, end - 2 - size);
}

}  // namespace kv::db
