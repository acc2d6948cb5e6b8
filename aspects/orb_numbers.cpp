#include "aspects/orb_numbers.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kv::orb_numbers {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SkipSpaces(std::string_view text, size_t i) {
  while (i < text.size() && IsSpace(text[i])) ++i;
  return i;
}

// Length of the numeric prefix starting at `i`, 0 when there is none.
size_t NumberLength(std::string_view text, size_t i) {
  size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return i - start;
}

}  // namespace

double ReadDecimal(std::string_view text) {
  size_t i = SkipSpaces(text, 0);
  size_t n = NumberLength(text, i);
  if (n == 0) return 0.0;
  std::string_view number = text.substr(i, n);
  if (number.front() == '+') number.remove_prefix(1);  // from_chars takes no '+'
  double value = 0.0;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || !std::isfinite(value) || std::fabs(value) > FLT_MAX) return 0.0;
  return value;
}

bool StartsWithNumber(std::string_view text) {
  return NumberLength(text, SkipSpaces(text, 0)) != 0;
}

int ReadIntegers(std::string_view text, int32_t* out, int max_count) {
  size_t i = 0;
  int count = 0;
  while (count < max_count) {
    i = SkipSpaces(text, i);
    size_t j = i;
    bool negative = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) negative = text[j++] == '-';
    if (j >= text.size() || !IsDigit(text[j])) break;
    int64_t value = 0;
    while (j < text.size() && IsDigit(text[j])) {
      if (value <= INT32_MAX) value = value * 10 + (text[j] - '0');
      ++j;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    out[count++] = static_cast<int32_t>(value);
    i = j;
  }
  return count;
}

std::string Fixed(double value, int width, int decimals) {
  char buf[80];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed,
                                 decimals);
  std::string s = ec == std::errc() ? std::string(buf, end) : std::string("0");
  if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), ' ');
  return s;
}

}  // namespace kv::orb_numbers
