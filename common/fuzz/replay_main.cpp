// Feeds every file of the given folders (or the given files) to a fuzz harness once,
// so that compilers without libFuzzer still run the seed corpus.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "common/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<fs::path> files;
    if (fs::is_directory(argv[i])) {
      for (const auto& e : fs::directory_iterator(argv[i]))
        if (e.is_regular_file()) files.push_back(e.path());
    } else {
      files.emplace_back(argv[i]);
    }
    for (const fs::path& p : files) {
      std::vector<uint8_t> bytes;
      (void)kv::ReadWholeFile(p.string(), &bytes);  // an unreadable seed replays as empty
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++count;
    }
  }
  std::printf("replayed %d inputs\n", count);
  return count > 0 ? 0 : 1;
}
