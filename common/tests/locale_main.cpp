// The main of every GoogleTest program: the C library takes its locale from the
// environment, as the program's Qt application object makes it do, so that a run
// under LANG=ru_RU.UTF-8 tests what the users run. A run registered to need the
// decimal comma (KV_REQUIRE_DECIMAL_COMMA) fails when the locale is missing.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "common/tests/russian_locale.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  if (std::getenv("KV_REQUIRE_DECIMAL_COMMA") && !kv::testing::DecimalCommaInForce()) {
    std::fprintf(stderr,
                 "this run needs the ru_RU.UTF-8 locale (scripts/setup.sh generates it)\n");
    return 1;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
