// The record-block reader on arbitrary bytes: entries, field data and the round trip
// of decoded fields through the encoder.
#include <cstdint>
#include <cstring>
#include <string>

#include "db/records/record_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t block[kv::db::kBlockSize] = {};
  std::memcpy(block, data, size < sizeof block ? size : sizeof block);
  kv::db::BlockContents c;
  const bool sound = kv::db::ParseBlock(block, &c).ok();
  for (const kv::db::BlockEntry& e : c.entries) {
    if (e.pos < 2 || e.pos + e.size > 2 + c.used) __builtin_trap();
    kv::db::FieldArray fields;
    kv::db::DecodeFields(e.data, fields);
    std::string encoded;
    if (kv::db::EncodeFields(fields, &encoded)) {
      kv::db::FieldArray again;
      kv::db::DecodeFields(encoded, again);
      // Decoded texts may carry trailing blanks, which the encoder drops by design.
      for (int n = 1; n < kv::db::kFieldCount; ++n) {
        std::string a = fields[n], b = again[n];
        while (!a.empty() && a.back() == ' ') a.pop_back();
        if (a != b) __builtin_trap();
      }
    }
  }
  // Removing and appending keep the used part well formed.
  if (!c.entries.empty() && sound) {
    const kv::db::BlockEntry& e = c.entries.front();
    std::string key(e.key), payload(e.data);
    kv::db::RemoveEntryAt(block, e.pos, e.size);
    kv::db::AppendEntry(block, key, payload);
    kv::db::BlockContents again;
    if (!kv::db::ParseBlock(block, &again).ok()) __builtin_trap();
  }
  // Arbitrary bytes as record data.
  kv::db::FieldArray fields;
  kv::db::DecodeFields(std::string_view(reinterpret_cast<const char*>(data), size), fields);
  return 0;
}
