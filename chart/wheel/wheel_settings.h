// The settings a chart picture depends on, copied out of the program's settings so
// that the geometry and the rules can be tested with any combination. The caller
// builds them (WheelSettingsFrom) and hands them to the painter; the chart code reads
// no settings global.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/settings.h"

namespace kv {

struct WheelSettings {
  std::array<uint8_t, kOptionBytes> ov = Settings::DefaultOptionBytes();
  uint32_t planet_mask = kDefaultBodyMask;    // "MaskP"
  uint32_t aspected_mask = kDefaultBodyMask;  // "MaskA"
  std::array<int32_t, 15> colours = Settings::DefaultColours();  // "ColKvi"
  std::string orb_file = "0.ao";
  std::string text_face = "Day New";

  bool Option(int index) const { return ov[index] != 0; }
  bool Shows(int body) const { return body >= 1 && body <= 32 && (planet_mask >> (body - 1)) & 1u; }
};

WheelSettings WheelSettingsFrom(const Settings& s);

}  // namespace kv
