// The text form of an orb block (".ao"): one aspect per line,
//   angle orb1 orb2 ... [S off reserved colour line_kind]
// Numbers are separated by blanks or tabs, or by 0x01 bytes when the line holds one.
// Orbs not given are 1.0, except cusps 7..12, which take the orb of the cusp
// opposite. This module owns the layout; nothing else parses or writes the lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "aspects/aspect_record.h"

namespace kv {

// The record of one line, or nothing for a line the form skips (empty or blank,
// "*" first, or 0x01 first). A line feed or carriage return at the end is ignored.
// A damaged line still gives a record: unreadable numbers are 0.
std::optional<AspectRecord> ParseOrbLine(std::string_view line);

// The line the program writes for a record: "%7.3f", orbs 1..21 with " %6.3f", then
// " S %d %d %ld %d" and a line feed.
std::string FormatOrbLine(const AspectRecord& rec);

// Every line of a whole text, in order, up to a DOS end-of-file byte (0x1A).
AspectTable ParseOrbText(std::string_view text);
std::string FormatOrbText(const AspectTable& table);

}  // namespace kv
