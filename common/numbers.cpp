#include "common/numbers.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace kv {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SkipSpaces(std::string_view text, size_t i) {
  while (i < text.size() && IsSpace(text[i])) ++i;
  return i;
}

// Length of the decimal number starting at `i`, 0 when there is none.
size_t DecimalLength(std::string_view text, size_t i) {
  const size_t start = i;
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

size_t IntegerLength(std::string_view text, size_t i) {
  const size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t first_digit = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i == first_digit ? 0 : i - start;
}

// from_chars takes no leading '+'.
std::string_view WithoutPlus(std::string_view number) {
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  return number;
}

std::optional<double> DecimalValue(std::string_view number) {
  number = WithoutPlus(number);
  double value = 0.0;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

long long IntegerValue(std::string_view number) {
  const bool negative = !number.empty() && number.front() == '-';
  number = WithoutPlus(number);
  long long value = 0;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec == std::errc::result_out_of_range) return negative ? LLONG_MIN : LLONG_MAX;
  return value;
}

}  // namespace

double LeadingDouble(std::string_view text, size_t* used) {
  const size_t i = SkipSpaces(text, 0);
  const size_t n = DecimalLength(text, i);
  if (used) *used = n == 0 ? 0 : i + n;
  if (n == 0) return 0.0;
  return DecimalValue(text.substr(i, n)).value_or(0.0);
}

long long LeadingInteger(std::string_view text, size_t* used) {
  const size_t i = SkipSpaces(text, 0);
  const size_t n = IntegerLength(text, i);
  if (used) *used = n == 0 ? 0 : i + n;
  if (n == 0) return 0;
  return IntegerValue(text.substr(i, n));
}

std::optional<double> ParseDouble(std::string_view text) {
  size_t used = 0;
  LeadingDouble(text, &used);
  if (used == 0 || SkipSpaces(text, used) != text.size()) return std::nullopt;
  const size_t i = SkipSpaces(text, 0);
  return DecimalValue(text.substr(i, used - i));
}

std::optional<long long> ParseInteger(std::string_view text) {
  size_t used = 0;
  LeadingInteger(text, &used);
  if (used == 0 || SkipSpaces(text, used) != text.size()) return std::nullopt;
  const size_t i = SkipSpaces(text, 0);
  const std::string_view number = text.substr(i, used - i);
  long long value = 0;
  const std::string_view digits = WithoutPlus(number);
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec != std::errc()) return std::nullopt;  // out of range is not a number we can hold
  return value;
}

int ReadIntegers(std::string_view text, int32_t* out, int max_count) {
  size_t i = 0;
  int count = 0;
  while (count < max_count) {
    size_t used = 0;
    const long long value = LeadingInteger(text.substr(i), &used);
    if (used == 0) break;
    out[count++] = static_cast<int32_t>(value < INT32_MIN   ? INT32_MIN
                                        : value > INT32_MAX ? INT32_MAX
                                                            : value);
    i += used;
  }
  return count;
}

std::string FormatFixed(double value, int decimals, int width) {
  char buf[400];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed,
                                 decimals);
  std::string s = ec == std::errc() ? std::string(buf, end) : std::string("0");
  if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), ' ');
  return s;
}

std::string FormatGeneral(double value, int significant) {
  char buf[400];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general,
                                 significant < 1 ? 1 : significant);
  return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

std::string FormatScientific(double value, int decimals) {
  char buf[400];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific,
                                 decimals);
  return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

std::string FormatInteger(long long value, int width, bool zero_pad) {
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  std::string s(buf, end);
  if (static_cast<int>(s.size()) < width) {
    const size_t fill = static_cast<size_t>(width) - s.size();
    s.insert(zero_pad && value < 0 ? 1 : 0, fill, zero_pad ? '0' : ' ');
  }
  return s;
}

}  // namespace kv
