// One aspect of an orb block: its angle, an orb per chart point and the display
// attributes the wheel uses. Points are numbered as in the chart record: 1..16 bodies,
// 17..28 cusps of houses 1..12.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kv {

inline constexpr int kOrbPoints = 28;         // one orb per chart point
inline constexpr int kFirstCuspPoint = 17;    // the Ascendant; cusps run to 28
inline constexpr int kCuspOppositeShift = 6;  // cusp k+6 lies opposite cusp k
inline constexpr int kDialogOrbs = 22;        // orbs the aspect dialog shows (1..22)
inline constexpr int kWrittenOrbs = 21;       // orbs the dialog reads back and the writer writes
inline constexpr int32_t kBuiltInColour = -1; // the wheel picks the colour of the angle's family
inline constexpr float kDefaultOrb = 1.0f;

struct AspectRecord {
  float angle = 0.0f;                  // degrees
  std::array<float, kOrbPoints> orbs;  // degrees; orbs[n - 1] belongs to point n
  uint8_t off = 0;                     // 0 in use, 1 switched off (bit 0 decides)
  uint8_t reserved = 0;                // carried through unchanged
  int32_t colour = kBuiltInColour;     // Windows RGB value 0x00BBGGRR, or -1
  uint8_t line_kind = 1;               // index into the line-kind list "TL"

  AspectRecord() { orbs.fill(kDefaultOrb); }
  float Orb(int point) const { return orbs[point - 1]; }
  bool SwitchedOff() const { return (off & 1) != 0; }
};

// The records of one block in file order; order matters, the first match wins.
using AspectTable = std::vector<AspectRecord>;

// The leading decimal number of a text (blanks first, a decimal point whatever the
// locale) as an angle or orb: 0 when there is none or it does not fit in a float (no
// "inf", "nan" or hexadecimal forms: a hand-edited block must not carry them).
// `used` receives the characters read, 0 when there was no number.
float OrbNumber(std::string_view text, size_t* used = nullptr);

// Orbs of cusps 7..12 that a line did not give take the orb of the cusp opposite;
// `given` is how many orbs the line carried (0..28).
void FillOppositeCuspOrbs(AspectRecord& rec, int given);

}  // namespace kv
