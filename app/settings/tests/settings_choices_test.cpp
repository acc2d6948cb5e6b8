// The settings dialogs' rules without windows: each choice writes exactly the settings
// its dialog owns, stored values outside a group survive, and the layout numbers are
// refused outside their ranges.
#include "app/settings/settings_choices.h"

#include <gtest/gtest.h>

#include <set>

namespace kv {
namespace {

// Settings whose every option byte and list value differs from the defaults and from
// anything a dialog writes, so a stray write shows.
Settings Busy() {
  Settings s;
  for (int i = 0; i < kOptionBytes; ++i) s.ov[i] = static_cast<uint8_t>(100 + i);
  for (size_t i = 0; i < s.lp.size(); ++i) s.lp[i] = 0x7000 + static_cast<int32_t>(i);
  for (size_t i = 0; i < s.colours.size(); ++i) s.colours[i] = 0x10000 * static_cast<int32_t>(i);
  s.planet_mask = 0x123456;
  s.aspected_mask = 0x654321;
  s.house_system = 5;
  s.text_font = "Old Face";
  s.orb_file = "x.ao";
  return s;
}

// Everything the settings file carries, and the face, equal.
void ExpectSame(const Settings& a, const Settings& b) {
  EXPECT_EQ(FormatSettingsText(a), FormatSettingsText(b));
  EXPECT_EQ(a.text_font, b.text_font);
}

TEST(ChartChoice, AstrologerSetsExactlyItsBytesFaceAndHouseSystem) {
  Settings s = Busy();
  ChartChoice c;
  c.ascendant_origin = false;
  c.clockwise = false;
  c.maximised = true;
  c.planet_ring_fill = false;
  c.print_legend = true;
  c.zodiac_fill = 2;
  c.house_fill = 1;
  c.font = 1;
  c.house_system = 10;
  const std::vector<std::string> fonts = {"Day New", std::string(45, 'F')};
  Settings expected = s;
  expected.ov[kOptAscendantOrigin] = 0;
  expected.ov[kOptClockwise] = 0;
  expected.ov[kOptMaximised] = 1;
  expected.ov[kOptPlanetRingFill] = 0;
  expected.ov[kOptPrintLegend] = 1;
  expected.ov[kOptScreenFill] = 2;
  expected.ov[kOptHouseFill] = 1;
  expected.ov[kOptTextFont] = 1;
  expected.house_system = 10;
  expected.text_font = std::string(39, 'F');  // cut at 39 characters
  ApplyChartChoice(c, true, fonts, s);
  ExpectSame(s, expected);
}

TEST(ChartChoice, OrdinaryUserKeepsOriginAndDirection) {
  Settings s = Busy();
  s.ov[kOptAscendantOrigin] = 1;
  s.ov[kOptClockwise] = 1;
  ChartChoice c = ChartChoiceFrom(s);
  c.ascendant_origin = false;  // not shown in dialog 1023: must not reach the settings
  c.clockwise = false;
  ApplyChartChoice(c, false, {"Day New"}, s);
  EXPECT_EQ(s.ov[kOptAscendantOrigin], 1);
  EXPECT_EQ(s.ov[kOptClockwise], 1);
}

TEST(ChartChoice, StoredValuesOutsideAGroupSurviveAnUntouchedDialog) {
  Settings s = Busy();  // fills 114 and 125, font 122, all outside their lists
  s.house_system = 0;
  const ChartChoice c = ChartChoiceFrom(s);
  EXPECT_EQ(c.zodiac_fill, kKeep);
  EXPECT_EQ(c.house_fill, kKeep);
  EXPECT_EQ(c.house_system, kKeep);
  Settings expected = s;
  ApplyChartChoice(c, true, {"Day New", "Mono"}, s);
  // The flags are set to what they read as (non-zero is on); nothing else moves.
  for (int i : {kOptAscendantOrigin, kOptClockwise, kOptMaximised, kOptPlanetRingFill, kOptPrintLegend})
    expected.ov[i] = 1;
  ExpectSame(s, expected);
  EXPECT_EQ(s.text_font, "Old Face");  // no item 122 in the list
}

TEST(HouseSystems, NumbersFromTheirMarkersElseTheirPlace) {
  const auto names = HouseSystemNames({"Регио[1]", "Плацидус[3]", "Без номера", "Лишний[13]", "Порфирий[10]"});
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[0].number, 1);
  EXPECT_EQ(names[0].name, "Регио");
  EXPECT_EQ(names[1].number, 3);
  EXPECT_EQ(names[2].number, 3);  // third item, no marker
  EXPECT_EQ(names[2].name, "Без номера");
  EXPECT_EQ(names[3].number, 10);  // the one with 13 is no house system and is left out
}

TEST(PrinterChoice, SetsExactlyItsSixBytes) {
  Settings s = Busy();
  PrinterChoice c = PrinterChoiceFrom(s);
  EXPECT_EQ(c.fill, kKeep);
  EXPECT_EQ(c.line_width, kKeep);
  c = {true, false, true, false, 4, 3};
  Settings expected = s;
  expected.ov[kOptPrintDialog] = 1;
  expected.ov[kOptPrinterMono] = 0;
  expected.ov[kOptPrinterLowMemory] = 1;
  expected.ov[kOptPrintLegend] = 0;
  expected.ov[kOptPrintFill] = 4;
  expected.ov[kOptPrintLineWidth] = 3;
  ApplyPrinterChoice(c, s);
  ExpectSame(s, expected);
}

TEST(InterpretationChoice, MasksAreExactlyTheBoxes) {
  Settings s = Busy();
  s.lp[0] = 0x7FFF0001;  // high bits a hand-edited file may carry
  s.lp[1] = 0xFC;
  const InterpretationChoice read = InterpretationChoiceFrom(s);
  EXPECT_EQ(read.signs, 0x0001);
  EXPECT_FALSE(read.ascendant);
  InterpretationChoice c = read;
  c.signs = 0x8001;
  c.houses = 0x00F0;
  c.ascendant = true;
  c.midheaven = false;
  c.justify = true;
  c.margin_mm = 0;
  c.screen_chars = 200;
  c.print_chars = 20;
  Settings expected = s;
  expected.lp[0] = 0x8001;
  expected.lp[1] = 1;
  expected.lp[2] = 0x00F0;
  expected.ov[kOptJustify] = 1;
  expected.print_margin_mm = 0;
  expected.chars_per_line = 200;
  expected.chars_per_print_line = 20;
  ApplyInterpretationChoice(c, s);
  ExpectSame(s, expected);
}

TEST(LayoutFields, WholeNumbersWithinTheirRanges) {
  const struct {
    LayoutField field;
    std::vector<std::pair<const char*, int>> taken;
    std::vector<const char*> refused;
  } cases[] = {
      {LayoutField::kScreenLine, {{"20", 20}, {"200", 200}, {" 72 ", 72}, {"+80", 80}},
       {"19", "201", "0", "", "  ", "abc", "72a", "7 2", "72.0", "72,0", "1e2", "-72",
        "99999999999999999999"}},
      {LayoutField::kPrintLine, {{"20", 20}, {"200", 200}}, {"19", "201", "x"}},
      {LayoutField::kMargin, {{"0", 0}, {"100", 100}, {"-0", 0}, {"15", 15}},
       {"-1", "101", "", "5mm", "12.5"}},
  };
  for (const auto& c : cases) {
    for (const auto& [text, value] : c.taken)
      EXPECT_EQ(ReadLayoutField(c.field, text), std::optional<int16_t>(value)) << '"' << text << '"';
    for (const char* text : c.refused)
      EXPECT_EQ(ReadLayoutField(c.field, text), std::nullopt) << '"' << text << '"';
  }
  // Each refusal names its own field.
  std::set<std::string> keys;
  for (LayoutField f : {LayoutField::kMargin, LayoutField::kScreenLine, LayoutField::kPrintLine})
    keys.insert(LayoutRangeOf(f).refusal_key);
  EXPECT_EQ(keys, (std::set<std::string>{"ChkFp", "ChkLf", "ChkLfP"}));
}

}  // namespace
}  // namespace kv
