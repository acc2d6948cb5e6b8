// kv-recode: converts a UTF-8 master file to code page 866 or 1251 for the working
// directory. Lines are kept as they are; characters the code page lacks stop the build.
// An 866 file is written through 1251 and the byte pairing between the two pages, so
// that the program, which turns every 866 text into 1251 on reading, gets back the
// typographic signs of 1251 (quotes, dashes) that 866 itself has no place for.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "common/codepage.h"
#include "common/files.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: kv-recode 866|1251 INPUT.utf8 OUTPUT\n");
    return 2;
  }
  std::string page = argv[1];
  std::string utf8;
  if (!kv::ReadWholeFile(argv[2], &utf8).ok()) {
    std::fprintf(stderr, "kv-recode: cannot read %s\n", argv[2]);
    return 1;
  }
  const std::string cp1251 = kv::Utf8ToCp1251(utf8);
  std::string out = page == "866" ? kv::Cp1251ToCp866(cp1251) : cp1251;
  std::string back = kv::Cp1251ToUtf8(page == "866" ? kv::Cp866ToCp1251(out) : out);
  if (back != utf8) {
    std::fprintf(stderr, "kv-recode: %s holds characters code page %s lacks\n", argv[2],
                 page.c_str());
    return 1;
  }
  std::ofstream(argv[3], std::ios::binary) << out;
  return 0;
}
