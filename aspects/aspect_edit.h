// Operations of the aspect dialog on a table loaded whole. They change only the table
// in memory; SaveAspectTable (orb_block.h) writes it. Indexes are 0-based positions
// in the table; an index outside it changes nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "aspects/aspect_record.h"

namespace kv {

// "Аспект %7.3f %s %s %s": the angle, an empty text, "Откл" when switched off, "(t)"
// when the line kind is above 1. Code page 1251.
std::string AspectLabel(const AspectRecord& rec);

struct AspectFields {
  std::string angle;                          // "%6.3f" on opening, "%7.3f" later
  std::array<std::string, kDialogOrbs> orbs;  // points 1..22, "%6.3f"
  int line_kind = 0;
};
// What the dialog shows for a record; `on_opening` for the first record shown when
// the dialog opens.
AspectFields ShowAspect(const AspectRecord& rec, bool on_opening);

// Reads the fields of points 1..21 back into the record, each cut at 6 characters and
// read as a decimal number (0 when unreadable). The field of point 22 is not read.
void StoreOrbs(AspectRecord& rec, const std::array<std::string, kDialogOrbs>& fields);

// Largest orb a field takes: no separation exceeds 180 degrees.
inline constexpr float kMaxOrb = 180.0f;
// The first of the fields of points 1..21 that holds no orb, 0-based, or -1 when every
// one does. A field holds an orb when its first 6 characters are a number from 0 to
// 180 with nothing but blanks around it. The dialog refuses to store a typing slip
// rather than make it an orb of 0.
int FirstBadOrbField(const std::array<std::string, kDialogOrbs>& fields);

enum class NewAspectStatus { kAdded, kDuplicate, kNotANumber };
// Text "angle" or "angle(orb)", such as "72(2)"; the orb is 1.0 without "(". A record
// with exactly this angle gives "IsAs" and nothing is added; a text that does not
// start with a number gives "AsNum" (nothing is added either: the dialog would
// otherwise create a conjunction from a typing slip). The new record is appended with
// orbs 1..21 set to the orb and the others as a reload of the saved line gives them.
NewAspectStatus NewAspect(AspectTable& table, std::string_view text);

// Removes the record; returns the index to select next (the previous one, 0 when the
// first went, -1 when the table is now empty or the index was outside it).
int DeleteAspect(AspectTable& table, int index);

// off becomes 1 when it was 0, else 0.
void ToggleAspect(AspectTable& table, int index);

// Windows RGB value 0x00BBGGRR.
inline constexpr int32_t Rgb(int r, int g, int b) { return r | g << 8 | b << 16; }

// The colour of an angle's family when a record asks for the built-in one: red for
// 0, 30, 60, 120, 150; blue for 45, 90, 135, 180; green for 36, 72, 108, 144; cyan
// for the rest.
int32_t BuiltInAspectColour(float angle);
// The colour the wheel draws the record with now: its own, or the built-in one.
int32_t WheelColour(const AspectRecord& rec);

// The chosen colour as an RGB value (the byte above blue cleared).
void SetAspectColour(AspectTable& table, int index, int32_t rgb);
// The index chosen in the line-kind list.
void SetAspectLineKind(AspectTable& table, int index, int kind);

// The pen of an aspect line for angle A: the colour and width of the first record
// whose angle equals A (its colour when 0 or more, else the family colour; its line
// kind when wider than `pen_width`); black in black-and-white printing.
struct AspectPen {
  int32_t colour = 0;
  int width = 1;
};
AspectPen AspectPenFor(const AspectTable& table, float angle, int pen_width,
                       bool black_and_white);

}  // namespace kv
