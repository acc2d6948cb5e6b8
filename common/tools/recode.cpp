// kv-recode: converts a UTF-8 master file to code page 866 or 1251 for the working
// directory. Lines are kept as they are; characters the code page lacks stop the build.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "common/codepage.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: kv-recode 866|1251 INPUT.utf8 OUTPUT\n");
    return 2;
  }
  std::string page = argv[1];
  std::ifstream in(argv[2], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "kv-recode: cannot read %s\n", argv[2]);
    return 1;
  }
  std::stringstream ss;
  ss << in.rdbuf();
  std::string utf8 = ss.str();
  std::string out = page == "866" ? kv::Utf8ToCp866(utf8) : kv::Utf8ToCp1251(utf8);
  std::string back = page == "866" ? kv::Cp866ToUtf8(out) : kv::Cp1251ToUtf8(out);
  if (back != utf8) {
    std::fprintf(stderr, "kv-recode: %s holds characters code page %s lacks\n", argv[2],
                 page.c_str());
    return 1;
  }
  std::ofstream(argv[3], std::ios::binary) << out;
  return 0;
}
