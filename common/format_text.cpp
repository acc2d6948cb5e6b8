#include "common/format_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "common/numbers.h"

namespace kv {
namespace {

// Widths and precisions beyond 400 are no format a message needs (a message is cut at
// 399 bytes anyway). Reals get at most 60 decimals, enough for any double.
constexpr int kMaxCount = 400;
constexpr int kMaxRealPrecision = 60;

enum class Length { kNone, kChar, kShort, kLong, kLongLong, kMax, kSize, kPtrDiff, kLongDouble };

struct Conversion {
  bool left = false, plus = false, space = false, zero = false, alt = false;
  int width = 0;
  int precision = -1;  // none
  bool width_star = false, precision_star = false;
  Length length = Length::kNone;
  char type = 0;
  size_t end = 0;  // index after the conversion in the format
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads digits at i; false when the number would be absurd for a message.
bool ReadCount(std::string_view f, size_t& i, int limit, int& out) {
  out = 0;
  while (i < f.size() && IsDigit(f[i])) {
    out = out * 10 + (f[i++] - '0');
    if (out > limit) return false;
  }
  return true;
}

// Parses the conversion whose "%" is at f[start]; nothing when it is no conversion
// printf would read as one of the kinds handled here.
std::optional<Conversion> ParseConversion(std::string_view f, size_t start) {
  Conversion c;
  size_t i = start + 1;
  for (; i < f.size(); ++i) {
    const char ch = f[i];
    if (ch == '-') c.left = true;
    else if (ch == '+') c.plus = true;
    else if (ch == ' ') c.space = true;
    else if (ch == '0') c.zero = true;
    else if (ch == '#') c.alt = true;
    else break;
  }
  if (i < f.size() && f[i] == '*') {
    c.width_star = true;
    ++i;
  } else if (!ReadCount(f, i, kMaxCount, c.width)) {
    return std::nullopt;
  }
  if (i < f.size() && f[i] == '$') return std::nullopt;  // positional arguments
  if (i < f.size() && f[i] == '.') {
    ++i;
    if (i < f.size() && f[i] == '*') {
      c.precision_star = true;
      ++i;
    } else if (!ReadCount(f, i, kMaxCount, c.precision)) {
      return std::nullopt;
    }
  }
  if (i < f.size()) {
    const char ch = f[i];
    const char next = i + 1 < f.size() ? f[i + 1] : '\0';
    if (ch == 'h' && next == 'h') c.length = Length::kChar, i += 2;
    else if (ch == 'h') c.length = Length::kShort, ++i;
    else if (ch == 'l' && next == 'l') c.length = Length::kLongLong, i += 2;
    else if (ch == 'l') c.length = Length::kLong, ++i;
    else if (ch == 'q') c.length = Length::kLongLong, ++i;
    else if (ch == 'j') c.length = Length::kMax, ++i;
    else if (ch == 'z') c.length = Length::kSize, ++i;
    else if (ch == 't') c.length = Length::kPtrDiff, ++i;
    else if (ch == 'L') c.length = Length::kLongDouble, ++i;
  }
  if (i >= f.size() || !std::strchr("diuoxXcsfFeEgGaA", f[i])) return std::nullopt;
  c.type = f[i];
  c.end = i + 1;
  return c;
}

FormatArg::Kind KindOf(char type) {
  if (type == 's') return FormatArg::Kind::kText;
  if (std::strchr("fFeEgGaA", type)) return FormatArg::Kind::kReal;
  return FormatArg::Kind::kInteger;
}

bool IsSigned(char type) { return type == 'd' || type == 'i'; }

void Pad(std::string& out, std::string_view body, const Conversion& c, size_t zero_at,
         bool zero_allowed) {
  const int fill = c.width - static_cast<int>(body.size());
  if (fill <= 0) {
    out += body;
  } else if (c.left) {
    out += body;
    out.append(fill, ' ');
  } else if (c.zero && zero_allowed) {
    out += body.substr(0, zero_at);
    out.append(fill, '0');
    out += body.substr(zero_at);
  } else {
    out.append(fill, ' ');
    out += body;
  }
}

void Upper(std::string& s) {
  for (char& ch : s)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
}

void PutInteger(std::string& out, const Conversion& c, long long signed_value,
                unsigned long long unsigned_value) {
  if (c.type == 'c') {
    Pad(out, std::string(1, static_cast<char>(signed_value)), c, 0, false);
    return;
  }
  const char* sign_or_base = "";  // "-", "+", " " or "0x", "0X"
  unsigned long long magnitude = unsigned_value;
  int base = 10;
  if (IsSigned(c.type)) {
    const bool negative = signed_value < 0;
    magnitude = negative ? 0ULL - static_cast<unsigned long long>(signed_value)
                         : static_cast<unsigned long long>(signed_value);
    if (negative) sign_or_base = "-";
    else if (c.plus) sign_or_base = "+";
    else if (c.space) sign_or_base = " ";
  } else if (c.type == 'o') {
    base = 8;
  } else if (c.type == 'x' || c.type == 'X') {
    base = 16;
    if (c.alt && magnitude != 0) sign_or_base = c.type == 'x' ? "0x" : "0X";
  }
  const std::string prefix(sign_or_base);
  char buf[72];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, magnitude, base);
  std::string digits(buf, end);
  if (c.type == 'X') Upper(digits);
  if (c.precision == 0 && magnitude == 0) digits.clear();
  if (c.precision > static_cast<int>(digits.size()))
    digits.insert(0, static_cast<size_t>(c.precision) - digits.size(), '0');
  if (c.type == 'o' && c.alt && (digits.empty() || digits[0] != '0')) digits.insert(0, "0");
  Pad(out, prefix + digits, c, prefix.size(), c.precision < 0);
}

void PutReal(std::string& out, const Conversion& c, double value) {
  const int precision = c.precision < 0 ? 6 : std::min(c.precision, kMaxRealPrecision);
  std::string body;
  const char lower = static_cast<char>(c.type | 0x20);
  if (lower == 'f') {
    body = FormatFixed(value, precision);
  } else if (lower == 'e') {
    body = FormatScientific(value, precision);
  } else if (lower == 'g') {
    body = FormatGeneral(value, precision == 0 ? 1 : precision);
  } else {  // 'a': hexadecimal, "0x1.8p+1"
    char buf[64];
    auto r = c.precision < 0
                 ? std::to_chars(buf, buf + sizeof buf, value, std::chars_format::hex)
                 : std::to_chars(buf, buf + sizeof buf, value, std::chars_format::hex,
                                 precision);
    body.assign(buf, r.ptr);
    if (std::isfinite(value)) body.insert(body[0] == '-' ? 1 : 0, "0x");
  }
  if (c.type >= 'A' && c.type <= 'Z') Upper(body);
  if (body[0] != '-') {
    if (c.plus) body.insert(0, "+");
    else if (c.space) body.insert(0, " ");
  }
  size_t zero_at = body[0] == '-' || body[0] == '+' || body[0] == ' ' ? 1 : 0;
  if (lower == 'a' && std::isfinite(value)) zero_at += 2;
  Pad(out, body, c, zero_at, std::isfinite(value));
}

void PutText(std::string& out, const Conversion& c, std::string_view text) {
  if (c.precision >= 0 && static_cast<size_t>(c.precision) < text.size())
    text = text.substr(0, static_cast<size_t>(c.precision));
  Pad(out, text, c, 0, false);
}

// Reads one argument of the conversion's type from the list, as printf would.
void PutFromList(std::string& out, const Conversion& c, va_list& ap) {
  switch (KindOf(c.type)) {
    case FormatArg::Kind::kText: {
      const char* s = va_arg(ap, const char*);
      PutText(out, c, s ? std::string_view(s) : std::string_view("(null)"));
      return;
    }
    case FormatArg::Kind::kReal: {
      const double v = c.length == Length::kLongDouble
                           ? static_cast<double>(va_arg(ap, long double))
                           : va_arg(ap, double);
      PutReal(out, c, v);
      return;
    }
    case FormatArg::Kind::kInteger:
      break;
  }
  long long s = 0;
  unsigned long long u = 0;
  switch (c.length) {
    case Length::kLong:
      s = va_arg(ap, long);
      u = static_cast<unsigned long>(s);
      break;
    case Length::kLongLong:
      s = va_arg(ap, long long);
      u = static_cast<unsigned long long>(s);
      break;
    case Length::kMax:
      s = static_cast<long long>(va_arg(ap, intmax_t));
      u = static_cast<uintmax_t>(s);
      break;
    case Length::kSize:
      u = va_arg(ap, size_t);
      s = static_cast<long long>(static_cast<std::make_signed_t<size_t>>(u));
      break;
    case Length::kPtrDiff:
      s = va_arg(ap, ptrdiff_t);
      u = static_cast<std::make_unsigned_t<ptrdiff_t>>(s);
      break;
    default: {
      const int v = va_arg(ap, int);
      if (c.length == Length::kChar) {
        s = static_cast<signed char>(v);
        u = static_cast<unsigned char>(v);
      } else if (c.length == Length::kShort) {
        s = static_cast<short>(v);
        u = static_cast<unsigned short>(v);
      } else {
        s = v;
        u = static_cast<unsigned>(v);
      }
    }
  }
  PutInteger(out, c, s, u);
}

}  // namespace

std::optional<std::string> FormatChecked(std::string_view format,
                                         std::span<const FormatArg> args) {
  std::string out;
  size_t next = 0;
  size_t i = 0;
  while (i < format.size()) {
    const size_t percent = format.find('%', i);
    if (percent == std::string_view::npos) {
      out += format.substr(i);
      break;
    }
    out += format.substr(i, percent - i);
    if (percent + 1 < format.size() && format[percent + 1] == '%') {
      out += '%';
      i = percent + 2;
      continue;
    }
    const std::optional<Conversion> c = ParseConversion(format, percent);
    if (!c || c->width_star || c->precision_star || next >= args.size()) return std::nullopt;
    const FormatArg& arg = args[next++];
    if (arg.kind() != KindOf(c->type)) return std::nullopt;
    if (c->type == 's' && c->length != Length::kNone) return std::nullopt;  // "%ls"
    switch (arg.kind()) {
      case FormatArg::Kind::kText:
        PutText(out, *c, arg.text());
        break;
      case FormatArg::Kind::kReal:
        PutReal(out, *c, arg.real());
        break;
      case FormatArg::Kind::kInteger:
        PutInteger(out, *c, arg.integer(), static_cast<unsigned long long>(arg.integer()));
        break;
    }
    i = c->end;
  }
  if (next != args.size()) return std::nullopt;
  return out;
}

std::string ArgumentsText(std::span<const FormatArg> args) {
  std::string out;
  for (const FormatArg& a : args) {
    if (!out.empty()) out += ", ";
    switch (a.kind()) {
      case FormatArg::Kind::kText:
        out += a.text();
        break;
      case FormatArg::Kind::kInteger:
        out += FormatInteger(a.integer());
        break;
      case FormatArg::Kind::kReal:
        out += FormatGeneral(a.real());
        break;
    }
  }
  return out;
}

std::string FormatVa(const char* format, va_list args) {
  const std::string_view f = format ? format : "";
  va_list ap;
  va_copy(ap, args);
  std::string out;
  size_t i = 0;
  while (i < f.size()) {
    const size_t percent = f.find('%', i);
    if (percent == std::string_view::npos) {
      out += f.substr(i);
      break;
    }
    out += f.substr(i, percent - i);
    if (percent + 1 < f.size() && f[percent + 1] == '%') {
      out += '%';
      i = percent + 2;
      continue;
    }
    std::optional<Conversion> c = ParseConversion(f, percent);
    if (!c) {
      out += f.substr(percent);
      break;
    }
    if (c->width_star) {
      const long long w = va_arg(ap, int);
      if (w < 0) c->left = true;
      c->width = static_cast<int>(std::min(w < 0 ? -w : w, static_cast<long long>(kMaxCount)));
    }
    if (c->precision_star) {
      const int p = va_arg(ap, int);
      c->precision = p < 0 ? -1 : std::min(p, kMaxCount);
    }
    PutFromList(out, *c, ap);
    i = c->end;
  }
  va_end(ap);
  return out;
}

}  // namespace kv
