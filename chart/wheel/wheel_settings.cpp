#include "chart/wheel/wheel_settings.h"

namespace kv {

WheelSettings WheelSettingsFrom(const Settings& s) {
  WheelSettings ws;
  ws.ov = s.ov;
  ws.planet_mask = static_cast<uint32_t>(s.planet_mask);
  ws.aspected_mask = static_cast<uint32_t>(s.aspected_mask);
  ws.colours = s.colours;
  ws.orb_file = s.orb_file;
  ws.text_face = s.text_font.empty() ? std::string("Day New") : s.text_font;
  return ws;
}

}  // namespace kv
