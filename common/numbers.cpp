#include "common/numbers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

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

// Powers of ten that a double holds exactly.
constexpr double kExactPow10[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A plain "[sign]digits[.digits]" of at most 15 digits: its digits as an integer and
// the count after the point are exact doubles, so one division rounds the quotient as
// the library would round the decimal. False for anything else.
bool ShortDecimalValue(std::string_view number, double* value) {
  size_t i = 0;
  const bool negative = number[0] == '-';
  if (number[0] == '-' || number[0] == '+') ++i;
  uint64_t digits = 0;
  int count = 0, after_point = -1;
  for (; i < number.size(); ++i) {
    const char c = number[i];
    if (c == '.' && after_point < 0) {
      after_point = 0;
      continue;
    }
    if (!IsDigit(c) || ++count > 15) return false;
    digits = digits * 10 + static_cast<uint64_t>(c - '0');
    if (after_point >= 0) ++after_point;
  }
  if (count == 0) return false;
  const double quotient =
      static_cast<double>(digits) / kExactPow10[after_point < 0 ? 0 : after_point];
  *value = negative ? -quotient : quotient;
  return true;
}

std::optional<double> DecimalValue(std::string_view number) {
  double value = 0.0;
  if (!number.empty() && ShortDecimalValue(number, &value)) return value;
  number = WithoutPlus(number);
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
  const size_t i = SkipSpaces(text, 0);
  const size_t n = DecimalLength(text, i);
  if (n == 0 || SkipSpaces(text, i + n) != text.size()) return std::nullopt;
  return DecimalValue(text.substr(i, n));
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
  char* end = AppendGeneral(buf, buf + sizeof buf, value, significant);
  return end != buf ? std::string(buf, end) : std::string("0");
}

namespace {

using Wide = unsigned __int128;

constexpr uint64_t kPow10[20] = {1ULL,
                                 10ULL,
                                 100ULL,
                                 1000ULL,
                                 10000ULL,
                                 100000ULL,
                                 1000000ULL,
                                 10000000ULL,
                                 100000000ULL,
                                 1000000000ULL,
                                 10000000000ULL,
                                 100000000000ULL,
                                 1000000000000ULL,
                                 10000000000000ULL,
                                 100000000000000ULL,
                                 1000000000000000ULL,
                                 10000000000000000ULL,
                                 100000000000000000ULL,
                                 1000000000000000000ULL,
                                 10000000000000000000ULL};

Wide WidePow10(int n) { return n < 20 ? Wide{kPow10[n]} : Wide{kPow10[19]} * kPow10[n - 19]; }

// m * 2^e2 * 10^k rounded to an integer, ties to even, as printf rounds; false when
// the exact quotient does not fit the 128-bit arithmetic.
[[gnu::always_inline]] inline bool ScaledRound(uint64_t m, int e2, int k, uint64_t* out) {
  // Bits of m are at most 53; each power of ten adds at most 3.33.
  const int num_bits = 53 + (k > 0 ? (k * 10 + 2) / 3 : 0) + (e2 > 0 ? e2 : 0);
  const int den_bits = (k < 0 ? (-k * 10 + 2) / 3 : 0) + (e2 < 0 ? -e2 : 0);
  if (num_bits > 126 || den_bits > 126) return false;
  Wide num = Wide{m} * (k > 0 ? WidePow10(k) : Wide{1});
  if (e2 > 0) num <<= e2;
  Wide q = num;
  if (k >= 0 && e2 < 0) {  // the divisor is a power of two: shifts only
    const int s = -e2;
    q = num >> s;
    const Wide r = num & ((Wide{1} << s) - 1);
    const Wide half = Wide{1} << (s - 1);
    if (r > half || (r == half && (q & 1))) ++q;
  } else if (k < 0) {
    Wide den = WidePow10(-k);
    if (e2 < 0) den <<= -e2;
    q = num / den;
    const Wide twice = (num % den) << 1;
    if (twice > den || (twice == den && (q & 1))) ++q;
  }
  if (q > Wide{UINT64_MAX}) return false;
  *out = static_cast<uint64_t>(q);
  return true;
}

constexpr char kTwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// n (below 10^8) as exactly eight digits.
void EightDigits(uint32_t n, char* out) {
  const uint32_t high = n / 10000, low = n % 10000;
  std::memcpy(out, kTwoDigits + 2 * (high / 100), 2);
  std::memcpy(out + 2, kTwoDigits + 2 * (high % 100), 2);
  std::memcpy(out + 4, kTwoDigits + 2 * (low / 100), 2);
  std::memcpy(out + 6, kTwoDigits + 2 * (low % 100), 2);
}

// The 17 decimal digits of n (below 10^17, leading zeros included) at out[0..17),
// followed by zeros up to out[kDigitRoom): the forms below copy blocks of a fixed
// size and let the zeros stand where the number has none.
constexpr int kDigitRoom = 48;
constexpr std::ptrdiff_t kMinRoom = 40;
void SeventeenDigits(uint64_t n, char* out) {
  out[0] = static_cast<char>('0' + n / 10000000000000000ULL);
  EightDigits(static_cast<uint32_t>(n / 100000000 % 100000000), out + 1);
  EightDigits(static_cast<uint32_t>(n % 100000000), out + 9);
  std::memset(out + 17, '0', kDigitRoom - 17);
}

// Powers of ten from 10^-30 to 10^30 as doubles, to place a value between two of them.
constexpr double kDecimalScale[61] = {
    1e-30, 1e-29, 1e-28, 1e-27, 1e-26, 1e-25, 1e-24, 1e-23, 1e-22, 1e-21, 1e-20, 1e-19, 1e-18,
    1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,
    1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,   1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,
    1e9,   1e10,  1e11,  1e12,  1e13,  1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21,
    1e22,  1e23,  1e24,  1e25,  1e26,  1e27,  1e28,  1e29,  1e30};

// The general routine of the library for what the exact path does not take.
char* GeneralByLibrary(char* first, char* last, double value, int significant) {
  auto [end, ec] = std::to_chars(first, last, value, std::chars_format::general, significant);
  return ec == std::errc() ? end : first;
}

}  // namespace

char* AppendGeneral(char* first, char* last, double value, int significant) {
  const int p = significant < 1 ? 1 : significant;
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
  // Room for the longest form and its block copies; zero, subnormals, nan, inf and
  // precisions beyond a double's 17 digits go to the general routine.
  if (p > 17 || last - first < kMinRoom || biased == 0 || biased == 0x7ff)
    return GeneralByLibrary(first, last, value, p);
  const uint64_t m = fraction | (uint64_t{1} << 52);
  const int e2 = biased - 1075;  // value = m * 2^e2
  // Decimal exponent of the value from its binary one, moved up when the value passes
  // the next power of ten; near a power it may still be one off: corrected below.
  const int e = e2 + 52;
  int x = (e * 78913) >> 18;  // floor(e log10 2), the shift rounding down
  if (x >= -30 && x < 30 && std::fabs(value) >= kDecimalScale[x + 31]) ++x;
  uint64_t n = 0;
  for (int attempt = 0;; ++attempt) {
    if (attempt == 3 || !ScaledRound(m, e2, p - 1 - x, &n))
      return GeneralByLibrary(first, last, value, p);
    if (n >= kPow10[p]) {
      ++x;  // rounding carried into a new place: 9.99.. -> 10.0
    } else if (n < kPow10[p - 1]) {
      --x;
    } else {
      // 10^(p-1) may be a value one place smaller rounded up at one digit too few
      // (1e23 is 9.999999999999999e22 at 16 digits): the smaller exponent decides.
      uint64_t below = 0;
      if (n == kPow10[p - 1] && ScaledRound(m, e2, p - x, &below) && below < kPow10[p]) {
        --x;
        n = below;
      }
      break;
    }
  }
  char all[kDigitRoom];
  SeventeenDigits(n, all);
  const char* const digits = all + 17 - p;  // the p digits, zeros after them
  int count = p;
  while (count > 1 && digits[count - 1] == '0') --count;  // %g drops trailing zeros
  // Every form writes at most 1 + 4 + 16 + 16 bytes; kMinRoom leaves more than that.
  char* out = first;
  if (bits >> 63) *out++ = '-';
  if (x < -4 || x >= p) {
    *out++ = digits[0];
    if (count > 1) {
      *out++ = '.';
      std::memcpy(out, digits + 1, 16);
      out += count - 1;
    }
    *out++ = 'e';
    *out++ = x < 0 ? '-' : '+';
    const int ex = x < 0 ? -x : x;
    if (ex >= 100) *out++ = static_cast<char>('0' + ex / 100);
    *out++ = static_cast<char>('0' + ex / 10 % 10);
    *out++ = static_cast<char>('0' + ex % 10);
  } else if (x >= 0) {
    const int whole = x + 1;  // at most p: the digits, or the zeros after them
    std::memcpy(out, digits, 16);
    if (whole > 16) std::memcpy(out + 16, digits + 16, 16);
    out += whole;
    if (count > whole) {
      *out++ = '.';
      std::memcpy(out, digits + whole, 16);
      out += count - whole;
    }
  } else {
    std::memcpy(out, "0.000", 5);
    out += 1 - x;  // "0." and -x - 1 zeros
    std::memcpy(out, digits, 16);
    if (count > 16) out[16] = digits[16];
    out += count;
  }
  return out;
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
