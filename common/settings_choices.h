// What the settings dialogs show and set, without a window system. Each dialog reads
// its choice from the settings when it opens and applies it on OK, touching exactly
// the settings it owns and nothing else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/settings.h"

namespace kv {

// A radio group's choice: the index of the checked button, kKeep when none is (the
// stored byte is outside the group, and stays so unless the user picks one).
inline constexpr int kKeep = -1;

// Chart settings: dialog 1003 for the astrologer, 1023 for the ordinary user.
struct ChartChoice {
  bool ascendant_origin = true;  // Ov[28]
  bool clockwise = true;         // Ov[27]
  bool maximised = true;         // Ov[30]
  bool planet_ring_fill = true;  // Ov[26]
  bool print_legend = false;     // Ov[41]
  int zodiac_fill = 0;           // Ov[14], 0..3
  int house_fill = 0;            // Ov[25], 0..2
  int font = 0;                  // Ov[22], item of the list "Shr"
  int house_system = 3;          // "HouseSet", 1..12
};
inline constexpr int kZodiacFills = 4;
inline constexpr int kHouseFills = 3;
inline constexpr int kHouseSystems = 12;

ChartChoice ChartChoiceFrom(const Settings& s);
// Sets Ov[30], Ov[26], Ov[41], Ov[14], Ov[25], Ov[22], the text-font face (item Ov[22]
// of `fonts`, at most 39 characters; kept when there is no such item) and the house
// system; Ov[28] and Ov[27] only for the astrologer, whose dialog shows them.
void ApplyChartChoice(const ChartChoice& c, bool astrologer,
                      const std::vector<std::string>& fonts, Settings& s);

// The house systems by number from the list "HOUS", whose items carry their number as
// "[n]"; an item without one takes its place in the list (1-based).
struct HouseSystemName {
  int number = 0;
  std::string name;
};
std::vector<HouseSystemName> HouseSystemNames(const std::vector<std::string>& hous);

// The planet-mask dialog: bits 0..15 from the 16 boxes, every higher bit cleared.
inline int32_t MaskFromBoxes(uint32_t boxes) { return static_cast<int32_t>(boxes & 0xFFFFu); }

// Printer settings, dialog 1080.
struct PrinterChoice {
  bool dialog_first = false;  // Ov[10]
  bool mono = false;          // Ov[9]
  bool low_memory = false;    // Ov[19]
  bool legend = false;        // Ov[41]
  int fill = 0;               // Ov[20], 0..4
  int line_width = 0;         // Ov[31], 0..3
};
inline constexpr int kPrintFills = 5;
inline constexpr int kPrintLineWidths = 4;
PrinterChoice PrinterChoiceFrom(const Settings& s);
void ApplyPrinterChoice(const PrinterChoice& c, Settings& s);

// Interpretation settings, dialog 1050: the "LP" masks, justification and the text
// layout. The numbers are checked before anything is applied.
struct InterpretationChoice {
  uint16_t signs = 0;   // LP[0]: sign texts of bodies 1..16
  uint16_t houses = 0;  // LP[2]: house texts of bodies 1..16
  bool ascendant = false;  // LP[1] bit 0
  bool midheaven = false;  // LP[1] bit 1
  bool justify = false;    // Ov[34]
  int16_t margin_mm = 20;       // "Fp"
  int16_t screen_chars = 72;    // "Lf"
  int16_t print_chars = 72;     // "LfP"
};
InterpretationChoice InterpretationChoiceFrom(const Settings& s);
void ApplyInterpretationChoice(const InterpretationChoice& c, Settings& s);

// The three numbers of the text layout as typed. A line narrower than 20 characters
// makes every text unreadable, so each field takes a whole number within its range
// (blanks around allowed) and is refused otherwise, unreadable text included.
enum class LayoutField { kMargin, kScreenLine, kPrintLine };
struct LayoutRange {
  int lo, hi;
  const char* refusal_key;  // names the field and the range
};
LayoutRange LayoutRangeOf(LayoutField f);
std::optional<int16_t> ReadLayoutField(LayoutField f, std::string_view text);

}  // namespace kv
