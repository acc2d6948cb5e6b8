// Printf-style formats filled without the C library's printf.
//
// Numbers come out with a decimal point whatever the process locale (the routines of
// common/numbers.h do the work). A format that comes from a data file (a message of
// the text resources) is checked against the arguments its caller passes before it is
// used: printf would read whatever the format asks for, and a text such as
// "%s%s%s%s" or a key such as "F%is" used as its own format would read memory that
// was never passed.
#pragma once

#include <concepts>
#include <cstdarg>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kv {

// One argument of a checked format, with the kind of conversion it fills.
class FormatArg {
 public:
  enum class Kind { kText, kInteger, kReal };

  FormatArg(const char* text) : kind_(Kind::kText), text_(text ? text : "(null)") {}
  FormatArg(const std::string& text) : kind_(Kind::kText), text_(text) {}
  FormatArg(std::string_view text) : kind_(Kind::kText), text_(text) {}
  template <std::integral T>
  FormatArg(T value) : kind_(Kind::kInteger), integer_(static_cast<long long>(value)) {}
  template <std::floating_point T>
  FormatArg(T value) : kind_(Kind::kReal), real_(static_cast<double>(value)) {}

  Kind kind() const { return kind_; }
  std::string_view text() const { return text_; }
  long long integer() const { return integer_; }
  double real() const { return real_; }

 private:
  Kind kind_;
  std::string_view text_;
  long long integer_ = 0;
  double real_ = 0;
};

// The format filled with the arguments when its conversions match them exactly: as
// many as there are arguments, each of the argument's kind (d i u o x X c take an
// integer, s a text, f F e E g G a A a real). Flags "-+ 0#", a width and a precision
// written as digits and the length modifiers hh h l ll j z t L are allowed; "%%" is a
// percent sign. Anything else ("*", "%1$s", "%n", "%p", a "%" at the end, a wrong kind,
// one conversion too many or too few) gives nothing.
std::optional<std::string> FormatChecked(std::string_view format,
                                         std::span<const FormatArg> args);

// The arguments as plain text, separated by ", " (shown when a format does not fit).
std::string ArgumentsText(std::span<const FormatArg> args);

// printf(format, args) for a format the compiler has checked against its arguments
// (functions that pass one on carry the format attribute). Numbers never depend on the
// locale. A conversion it does not know ends the filling: the rest is copied as it is
// and no further argument is read.
std::string FormatVa(const char* format, va_list args);

}  // namespace kv
