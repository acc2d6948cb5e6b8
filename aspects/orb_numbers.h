// Number reading and writing for the orb-block text form. Both ignore the C locale:
// the GUI runs under the user's locale, where "%f" would write "60,000" and strtod
// would stop at the ".", and a block must read the same wherever it was written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kv::orb_numbers {

// The leading decimal number of a text after blanks: [sign] digits [. digits]
// [e [sign] digits]. Anything else, or a value that does not fit in a float, gives 0
// (no "inf", "nan" or hexadecimal forms: a hand-edited block must not carry them).
double ReadDecimal(std::string_view text);

// True when the text starts (after blanks) with a number ReadDecimal would read.
bool StartsWithNumber(std::string_view text);

// Like sscanf("%d %d ..."): reads integers in order, skipping blanks between them,
// and stops at the first text that is not one. Returns how many were read; values
// beyond the 32-bit range are clamped.
int ReadIntegers(std::string_view text, int32_t* out, int max_count);

// printf("%<width>.<decimals>f") in the "C" locale.
std::string Fixed(double value, int width, int decimals);

}  // namespace kv::orb_numbers
