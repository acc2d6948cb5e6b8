// How a fetched text becomes printed lines: the justification of a line to a width,
// the plain style (details texts) and the flowing style (the natal interpretation).
// Every routine appends "line\n" to `out`; texts are 8-bit (code page 1251), so a
// character is a byte.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv {

// The width of the plain style and of the editor's justification.
inline constexpr size_t kPlainWidth = 72;
// "Lf" below 1 would never finish a paragraph; such a width is taken as the default.
inline constexpr int kDefaultFlowWidth = 72;

// Spreads the missing characters over the blanks after the first non-blank one
// (leading blanks kept): each gets the same extra count, the leftmost ones one more
// for the remainder. A line without such blanks, or already `width` long, is
// returned as it is.
std::string JustifyLine(std::string_view line, size_t width);

// True for lines never printed: those beginning with "#" (comments) or "=".
bool IsHiddenLine(std::string_view line);

// Plain style: trailing blank lines dropped; hidden lines skipped; with `justify` a
// line shorter than 72 that is followed by a line starting with a non-blank is
// justified to 72; one empty line after the text. Nothing at all for an empty text.
void PrintPlain(const std::vector<std::string>& text, bool justify, std::string& out);

// Flowing style: without `justify` the visible lines as they are; with it the lines
// are joined into paragraphs (a blank-led or empty line starts a new one, hidden
// lines end one) and broken at blanks into justified lines of `width`; a word longer
// than the width is cut at it. One empty line after the text; nothing for an empty
// text.
void PrintFlowing(const std::vector<std::string>& text, bool justify, int width,
                  std::string& out);

}  // namespace kv
