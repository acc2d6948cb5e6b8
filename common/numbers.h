// Numbers in files, fields and output, independent of the process locale.
//
// The GUI runs under the user's locale (ru_RU.UTF-8 writes "55,45" with printf and
// makes strtod stop at the "."), but every file the program reads or writes, and
// every number a user types, uses the decimal point. Everything numeric goes
// through these routines; printf and strtod are never used for numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

// The leading decimal number of a text after blanks, as strtod reads it in the C
// locale: [sign] digits [. digits] [e [sign] digits]. No "inf", "nan" or hexadecimal
// forms. 0 when the text holds no number or the value overflows a double. `used`
// receives the characters read, blanks included (0 when there was no number).
double LeadingDouble(std::string_view text, size_t* used = nullptr);

// The leading integer after blanks ([sign] digits), as strtol base 10: 0 when none,
// clamped to the range of long long. `used` as above.
long long LeadingInteger(std::string_view text, size_t* used = nullptr);

// The whole text, blanks around it allowed, as one finite number; nothing when the
// text is anything else ("55,45", "12abc", "", "1e999").
std::optional<double> ParseDouble(std::string_view text);
std::optional<long long> ParseInteger(std::string_view text);

// Reads integers in order, skipping blanks and tabs between them, and stops at the
// first text that is not one. Returns how many were read; values beyond the 32-bit
// range are clamped.
int ReadIntegers(std::string_view text, int32_t* out, int max_count);

// printf("%<width>.<decimals>f"), printf("%.<significant>g") and printf("%.<decimals>e")
// in the C locale.
std::string FormatFixed(double value, int decimals, int width = 0);
std::string FormatGeneral(double value, int significant = 15);

// printf("%.<significant>g") written at `first`, as std::to_chars would write it;
// returns the end of the text, or `first` when [first, last) is too short. Digits of
// up to 17 significant places come from exact integer arithmetic, several times
// faster than the general routine, which takes the rest (tiny, huge, nan, inf).
char* AppendGeneral(char* first, char* last, double value, int significant = 15);
std::string FormatScientific(double value, int decimals);

// printf("%<width>lld"), or "%0<width>lld" with zero_pad (zeros after the sign).
std::string FormatInteger(long long value, int width = 0, bool zero_pad = false);

}  // namespace kv
