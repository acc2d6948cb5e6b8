// The key-index reader on arbitrary file contents: open, look up, walk, insert and
// remove, then the full check. Nothing may read or write outside a buffer, hang or
// crash; a refused file must come out byte for byte as it went in.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/files.h"
#include "db/btree/index_check.h"
#include "db/btree/key_index.h"

namespace {

std::string ScratchFile() {
  return "/tmp/kv-fuzz-index-" + std::to_string(getpid()) + ".btr";
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> out;
  (void)kv::ReadWholeFile(path, &out);  // a file that cannot be read compares as empty
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = ScratchFile();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  kv::btree::CheckIndexFile(path);
  kv::btree::IndexHandle h;
  if (kv::btree::Open(path, h, true).ok()) {
    const char* keys[] = {"", "A", ".000001", "M", "zzzz", "\xC0\xFF"};
    for (const char* k : keys) kv::btree::Lookup(h, k, nullptr);
    kv::btree::Seek(h, "");
    std::string key;
    int16_t value;
    for (int i = 0; i < 100000 && kv::btree::Next(h, &key, &value); ++i) {
    }
    bool damaged = !h.status.ok();
    std::vector<uint8_t> before = damaged ? ReadAll(path) : std::vector<uint8_t>();
    for (int i = 0; i < 40; ++i) kv::btree::Put(h, "key" + std::to_string(i * 7919 % 1000), static_cast<int16_t>(i));
    kv::btree::Remove(h, "key0");
    kv::btree::Seek(h, "key5");
    kv::btree::Next(h, &key, &value);
    kv::btree::Close(h);
    if (damaged && ReadAll(path) != before) __builtin_trap();  // a damaged file was written
  } else {
    kv::btree::Close(h);
  }
  unlink(path.c_str());
  return 0;
}
