// Text collections (".csr") on arbitrary bytes. The input is split at separator lines
// into a first file "a.csr" and further files "f1.csr", "f2.csr", "f3.csr", which its
// "FILES=" line may name (seeds do). Every indexed key must give its text for each
// sex; the index must stay sorted and point only into the collection's files.
#include <algorithm>
#include <cstdint>
#include <string>

#include "common/fuzz/fuzz_support.h"
#include "texts/text_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace fuzz = kv::fuzz;
  fuzz::Quiet();
  const auto parts = fuzz::SplitFiles(fuzz::AsText(data, size), 4);
  const auto dir = fuzz::FreshScratch("text_collection");
  for (size_t i = 0; i < parts.size(); ++i)
    fuzz::WriteFile(dir / (i == 0 ? std::string("a.csr") : "f" + std::to_string(i) + ".csr"), parts[i]);

  kv::TextCollection c;
  if (!c.Open("a", dir)) fuzz::Fail("the first file did not open");
  const auto& index = c.Index();
  if (!std::is_sorted(index.begin(), index.end(),
                      [](const kv::TextIndexEntry& a, const kv::TextIndexEntry& b) { return a.key < b.key; }))
    fuzz::Fail("index not sorted");
  size_t asked = 0;
  for (const kv::TextIndexEntry& e : index) {
    if (e.file >= c.FileCount()) fuzz::Fail("index entry of no file");
    if (e.key.size() > kv::kMaxKeyLength) fuzz::Fail("key over its length");
    if (++asked > 32) continue;
    for (kv::SexCode sex : {kv::SexCode::kNone, kv::SexCode::kMan, kv::SexCode::kWoman})
      (void)c.Fetch(e.key, sex);
  }
  (void)c.Fetch("no-such-key", kv::SexCode::kMan);
  (void)c.Fetch("", kv::SexCode::kWoman);
  for (size_t i = 0; i < parts.size(); ++i)
    if (fuzz::ReadFile(dir / (i == 0 ? std::string("a.csr") : "f" + std::to_string(i) + ".csr")) != parts[i])
      fuzz::Fail("a collection file was changed");
  return 0;
}
