#include "db/records/record_block.h"

#include <cstring>

#include "common/messages.h"
#include "common/tokens.h"

namespace kv::db {
namespace {

int Get16(const uint8_t* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }
void Put16(uint8_t* p, int v) {
  p[0] = static_cast<uint8_t>(v & 0xFF);
  p[1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}
void Append16(std::string& s, int v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}

}  // namespace

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
    Append16(*data, static_cast<int>(len));
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
    int len = Get16(p + pos + 1);
    if (len < 0 || static_cast<size_t>(len) >= data.size()) break;
    pos += 3;
    size_t take = std::min(static_cast<size_t>(len), data.size() - pos);
    if (fields[n].empty()) fields[n].assign(data.substr(pos, take));
    pos += take;
  }
}

int UsedBytes(const uint8_t* block) {
  int used = block[0] | (block[1] << 8);
  return used > kBlockRoom ? kBlockRoom : used;
}

void SetUsedBytes(uint8_t* block, int used) { Put16(block, used); }

BlockContents ParseBlock(const uint8_t* block) {
  BlockContents c;
  int raw = block[0] | (block[1] << 8);
  c.used = UsedBytes(block);
  if (raw > kBlockRoom) c.damage = FormatMessage("used count %d above %d", raw, kBlockRoom);
  int pos = 2;
  int end = 2 + c.used;
  while (pos < end && c.damage.empty()) {
    if (end - pos < 2) {
      c.damage = FormatMessage("entry at %d runs past the used part", pos);
      break;
    }
    int klen = Get16(block + pos);
    if (klen < 1 || klen > kMaxRecordKey) {
      c.damage = FormatMessage("key length %d at %d", klen, pos);
      break;
    }
    if (end - pos < klen + 4) {
      c.damage = FormatMessage("entry at %d runs past the used part", pos);
      break;
    }
    int dlen = Get16(block + pos + 2 + klen);
    if (dlen < 0 || dlen > kMaxRecordData) {
      c.damage = FormatMessage("data length %d at %d", dlen, pos);
      break;
    }
    int size = klen + dlen + 4;
    if (end - pos < size) {
      c.damage = FormatMessage("entry at %d runs past the used part", pos);
      break;
    }
    BlockEntry e;
    e.pos = pos;
    e.size = size;
    e.key = std::string_view(reinterpret_cast<const char*>(block + pos + 2), klen);
    e.data = std::string_view(reinterpret_cast<const char*>(block + pos + 4 + klen), dlen);
    c.entries.push_back(e);
    pos += size;
  }
  return c;
}

bool AppendEntry(uint8_t* block, std::string_view key, std::string_view data) {
  int used = UsedBytes(block);
  int size = static_cast<int>(key.size() + data.size()) + 4;
  if (used + size > kBlockRoom) return false;
  uint8_t* p = block + 2 + used;
  Put16(p, static_cast<int>(key.size()));
  std::memcpy(p + 2, key.data(), key.size());
  Put16(p + 2 + key.size(), static_cast<int>(data.size()));
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
