// Cutting texts into words, parts and key/value pairs, and reading numbers the way
// the program's files expect (leading number, 0 when there is none).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Length up to and including the last character that is not a blank.
size_t TrimmedLength(std::string_view text);
std::string TrimRight(std::string_view text);
std::string TrimLeft(std::string_view text);

// Words separated by blanks or tabs. A word opening with a double quote runs to the
// next double quote and keeps its blanks; it keeps the opening quote but not the
// closing one; an unclosed quote runs to the end of the text.
std::vector<std::string> Tokens(std::string_view text);
// The same words as views into text, without allocating: the first `max` go to out.
// Returns how many there are, counting at most one beyond max (more than max: some
// did not fit).
size_t TokenViews(std::string_view text, std::string_view* out, size_t max);

// Parts between occurrences of c; empty parts are skipped; the last part loses its
// trailing blanks and is skipped if that leaves nothing.
std::vector<std::string> Split(std::string_view text, char c);

struct KeyValuePair {
  std::string key;
  std::optional<std::string> value;  // nothing when the line has no "="
};
// Splits at the first "=": key without trailing blanks, value without leading blanks.
KeyValuePair KeyValue(std::string_view line);

// Position of word in a table (exact comparison), or -1.
int WordIndex(std::string_view word, const std::vector<std::string_view>& table);

// Leading decimal integer after blanks, with an optional sign; 0 when none
// (LeadingInteger of common/numbers.h).
long ReadInt(std::string_view text);
// Leading decimal number with a decimal point after blanks; 0 when none, whatever the
// process locale (LeadingDouble of common/numbers.h).
double ReadDouble(std::string_view text);

}  // namespace kv
