#include "common/settings_choices.h"

#include "common/numbers.h"

namespace kv {
namespace {

// A radio group's index for a stored byte, kKeep when the byte is outside the group.
int GroupIndex(uint8_t stored, int buttons) { return stored < buttons ? stored : kKeep; }

void SetFromGroup(uint8_t& stored, int index) {
  if (index != kKeep) stored = static_cast<uint8_t>(index);
}

uint8_t Flag(bool on) { return on ? 1 : 0; }

}  // namespace

ChartChoice ChartChoiceFrom(const Settings& s) {
  ChartChoice c;
  c.ascendant_origin = s.Option(kOptAscendantOrigin);
  c.clockwise = s.Option(kOptClockwise);
  c.maximised = s.Option(kOptMaximised);
  c.planet_ring_fill = s.Option(kOptPlanetRingFill);
  c.print_legend = s.Option(kOptPrintLegend);
  c.zodiac_fill = GroupIndex(s.ov[kOptScreenFill], kZodiacFills);
  c.house_fill = GroupIndex(s.ov[kOptHouseFill], kHouseFills);
  c.font = s.ov[kOptTextFont];
  c.house_system = s.house_system >= 1 && s.house_system <= kHouseSystems ? s.house_system : kKeep;
  return c;
}

void ApplyChartChoice(const ChartChoice& c, bool astrologer,
                      const std::vector<std::string>& fonts, Settings& s) {
  if (astrologer) {
    s.ov[kOptAscendantOrigin] = Flag(c.ascendant_origin);
    s.ov[kOptClockwise] = Flag(c.clockwise);
  }
  s.ov[kOptMaximised] = Flag(c.maximised);
  s.ov[kOptPlanetRingFill] = Flag(c.planet_ring_fill);
  s.ov[kOptPrintLegend] = Flag(c.print_legend);
  SetFromGroup(s.ov[kOptScreenFill], c.zodiac_fill);
  SetFromGroup(s.ov[kOptHouseFill], c.house_fill);
  if (c.font >= 0 && c.font < 256) {
    s.ov[kOptTextFont] = static_cast<uint8_t>(c.font);
    if (static_cast<size_t>(c.font) < fonts.size() && !fonts[c.font].empty())
      s.text_font = fonts[c.font].substr(0, kMaxFontFace);
  }
  if (c.house_system != kKeep) s.house_system = static_cast<int16_t>(c.house_system);
}

std::vector<HouseSystemName> HouseSystemNames(const std::vector<std::string>& hous) {
  std::vector<HouseSystemName> out;
  for (size_t i = 0; i < hous.size(); ++i) {
    const std::string& item = hous[i];
    HouseSystemName h{static_cast<int>(i) + 1, item};
    const size_t open = item.find('[');
    if (open != std::string::npos) {
      h.name = item.substr(0, open);
      size_t used = 0;
      const long long n = LeadingInteger(std::string_view(item).substr(open + 1), &used);
      if (used > 0) h.number = static_cast<int>(n);
    }
    if (h.number >= 1 && h.number <= kHouseSystems) out.push_back(h);
  }
  return out;
}

PrinterChoice PrinterChoiceFrom(const Settings& s) {
  PrinterChoice c;
  c.dialog_first = s.Option(kOptPrintDialog);
  c.mono = s.Option(kOptPrinterMono);
  c.low_memory = s.Option(kOptPrinterLowMemory);
  c.legend = s.Option(kOptPrintLegend);
  c.fill = GroupIndex(s.ov[kOptPrintFill], kPrintFills);
  c.line_width = GroupIndex(s.ov[kOptPrintLineWidth], kPrintLineWidths);
  return c;
}

void ApplyPrinterChoice(const PrinterChoice& c, Settings& s) {
  s.ov[kOptPrintDialog] = Flag(c.dialog_first);
  s.ov[kOptPrinterMono] = Flag(c.mono);
  s.ov[kOptPrinterLowMemory] = Flag(c.low_memory);
  s.ov[kOptPrintLegend] = Flag(c.legend);
  SetFromGroup(s.ov[kOptPrintFill], c.fill);
  SetFromGroup(s.ov[kOptPrintLineWidth], c.line_width);
}

InterpretationChoice InterpretationChoiceFrom(const Settings& s) {
  InterpretationChoice c;
  c.signs = static_cast<uint16_t>(s.lp[0]);
  c.houses = static_cast<uint16_t>(s.lp[2]);
  c.ascendant = (s.lp[1] & 1) != 0;
  c.midheaven = (s.lp[1] & 2) != 0;
  c.justify = s.Option(kOptJustify);
  c.margin_mm = s.print_margin_mm;
  c.screen_chars = s.chars_per_line;
  c.print_chars = s.chars_per_print_line;
  return c;
}

void ApplyInterpretationChoice(const InterpretationChoice& c, Settings& s) {
  s.lp[0] = c.signs;
  s.lp[2] = c.houses;
  s.lp[1] = (c.ascendant ? 1 : 0) | (c.midheaven ? 2 : 0);
  s.ov[kOptJustify] = Flag(c.justify);
  s.print_margin_mm = c.margin_mm;
  s.chars_per_line = c.screen_chars;
  s.chars_per_print_line = c.print_chars;
}

LayoutRange LayoutRangeOf(LayoutField f) {
  switch (f) {
    case LayoutField::kMargin:
      return {0, 100, "ChkFp"};
    case LayoutField::kScreenLine:
      return {20, 200, "ChkLf"};
    case LayoutField::kPrintLine:
      break;
  }
  return {20, 200, "ChkLfP"};
}

std::optional<int16_t> ReadLayoutField(LayoutField f, std::string_view text) {
  const LayoutRange r = LayoutRangeOf(f);
  const std::optional<long long> n = ParseInteger(text);
  if (!n || *n < r.lo || *n > r.hi) return std::nullopt;
  return static_cast<int16_t>(*n);
}

}  // namespace kv
