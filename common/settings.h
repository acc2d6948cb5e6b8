// The user's settings and last birth data, kept in "kvi.ini" (code page 1251 text,
// one "key=value" per line), loaded at start-up and written whole at exit.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>


namespace kv {

inline constexpr const char* kSettingsFile = "kvi.ini";
inline constexpr int kOptionBytes = 80;

// Indices into the option bytes ("Ov") that the program acts on.
enum Option : int {
  kOptTrueNode = 0,
  kOptOsculatingApogee = 1,
  kOptHeliocentric = 2,
  kOptPrinterMono = 9,
  kOptPrintDialog = 10,
  kOptCuspAspects = 13,
  kOptScreenFill = 14,
  kOptPrinterLowMemory = 19,
  kOptPrintFill = 20,
  kOptTextFont = 22,
  kOptCleanupAtExit = 23,
  kOptHouseFill = 25,
  kOptPlanetRingFill = 26,
  kOptClockwise = 27,
  kOptAscendantOrigin = 28,
  kOptMaximised = 30,
  kOptPrintLineWidth = 31,
  kOptJustify = 34,
  kOptExactTime = 39,
  kOptAstrologer = 40,
  kOptPrintLegend = 41,
  kOptRazd = 42,
};

// "MaskP" and "MaskA" of a new settings file: bodies 1 (Sun) to 11 (north node).
inline constexpr int32_t kDefaultBodyMask = 0x7FF;
// "HouseSet" of a new settings file: Placidus (astro/houses/house_systems.h).
inline constexpr int16_t kDefaultHouseSystem = 3;

// Limits of the text settings, in characters.
inline constexpr size_t kMaxFileName = 78;
inline constexpr size_t kMaxTownFile = 41;
inline constexpr size_t kMaxEditorPath = 399;
inline constexpr size_t kMaxInterval = 58;
inline constexpr size_t kMaxFontFace = 39;

// The birth data of the start-up record as the settings file keeps them: the last
// chart's moment, place, name and sex. The fields are those of the chart record, with
// its widths, so that the program copies them to and from the record unchanged
// (chart/record/chart_record.h).
struct BirthData {
  double jd_local = 2451545.0;  // local date and time taken as if it were universal time
  double jd_ut = 2451545.0;     // jd_local + correction / 24
  double jd_calc = 2451545.0;   // = jd_ut
  double correction_h = 0;      // hours added to local time to get universal time
  double lon_packed = 0;        // degrees.minutes, east positive
  double lat_packed = 0;        // degrees.minutes, north positive
  char name[30] = {};           // 1251, at most 29 characters and a NUL
  char place[30] = {};
  uint8_t sex = 0;              // 0 male, 1 female
  int16_t house_system = kDefaultHouseSystem;
};

// Copies a text into a fixed field of 30, cut at 29 characters and NUL-terminated.
void SetBirthText(char (&field)[30], const char* text);

struct Settings {
  BirthData startup;
  int16_t house_system = kDefaultHouseSystem;
  int32_t planet_mask = kDefaultBodyMask;    // "MaskP": bit n-1 shows body n
  int32_t aspected_mask = kDefaultBodyMask;  // "MaskA": bit n-1 lets point n take part in aspects
  std::array<uint8_t, kOptionBytes> ov = DefaultOptionBytes();
  std::string database = "a";
  std::string orb_file = "0.ao";
  std::string town_file;
  std::string editor_path;
  std::string interval = "01.01.2005-31.12.2005";
  int32_t region = 0;
  std::array<int32_t, 20> lp{};
  std::array<int32_t, 15> colours = DefaultColours();  // "ColKvi": -1 = built-in colour
  int16_t chars_per_line = 72;        // "Lf"
  int16_t chars_per_print_line = 72;  // "LfP"
  int16_t print_margin_mm = 20;       // "Fp"
  std::string text_font = "Day New";
  double one_second = 1.0 / (24 * 3600);

  static std::array<uint8_t, kOptionBytes> DefaultOptionBytes();
  static std::array<int32_t, 15> DefaultColours();
  bool Option(int index) const { return ov[index] != 0; }
};

// Applies the lines of a "kvi.ini" text to settings (unknown keys are ignored,
// malformed values read as 0 or are cut to their limits), then sets the start-up
// birth data's universal-time days from its local day and correction.
void ParseSettingsText(std::string_view text, Settings& s);
// Reads the file; false when it cannot be opened (settings stay as they were).
bool ReadSettingsFile(const std::string& path, Settings& s);

// The whole file text in the fixed order of the settings file.
std::string FormatSettingsText(const Settings& s);
// Writes the file; false when it cannot be created (nothing written).
bool WriteSettingsFile(const std::string& path, const Settings& s);

}  // namespace kv
