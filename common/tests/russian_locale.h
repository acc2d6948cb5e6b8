// The users' locale for the length of a scope: ru_RU.UTF-8, where the C library reads
// and writes numbers with a decimal comma. A test that needs it must fail when the
// locale is missing (scripts/setup.sh generates it), never pass in the C locale.
#pragma once

#include <clocale>
#include <cstdio>
#include <string>

namespace kv::testing {

// The C locale for the length of a scope: printf there is the reference the
// locale-free routines are compared with.
class CLocale {
 public:
  CLocale() {
    const char* old = std::setlocale(LC_ALL, nullptr);
    old_ = old ? old : "C";
    std::setlocale(LC_ALL, "C");
  }
  ~CLocale() { std::setlocale(LC_ALL, old_.c_str()); }
  CLocale(const CLocale&) = delete;
  CLocale& operator=(const CLocale&) = delete;

 private:
  std::string old_;
};

class RussianLocale {
 public:
  RussianLocale() {
    const char* old = std::setlocale(LC_ALL, nullptr);
    old_ = old ? old : "C";
    if (!std::setlocale(LC_ALL, "ru_RU.UTF-8")) {
      error_ = "the ru_RU.UTF-8 locale is missing (scripts/setup.sh generates it)";
      return;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", 55.45);
    if (std::string(buf) != "55,45") error_ = "ru_RU.UTF-8 does not write a decimal comma";
  }
  ~RussianLocale() { std::setlocale(LC_ALL, old_.c_str()); }
  RussianLocale(const RussianLocale&) = delete;
  RussianLocale& operator=(const RussianLocale&) = delete;

  // Empty when the locale is in force.
  const std::string& error() const { return error_; }

 private:
  std::string old_;
  std::string error_;
};

// True when the process runs under a locale with a decimal comma, as the program does
// when its Qt application object takes the locale from LANG=ru_RU.UTF-8.
inline bool DecimalCommaInForce() {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", 0.5);
  return std::string(buf) == "0,5";
}

}  // namespace kv::testing
