#include "common/settings.h"

#include <cstring>

#include "common/calendar.h"
#include "common/files.h"
#include "common/key_value_lists.h"
#include "common/lines.h"
#include "common/numbers.h"
#include "common/tokens.h"

namespace kv {
namespace {

std::string Cut(const std::string& value, size_t limit) { return value.substr(0, limit); }

void ApplyLine(std::string_view line, Settings& s) {
  KeyValuePair kv = KeyValue(line);
  if (!kv.value) return;
  const std::string& k = kv.key;
  const std::string& v = *kv.value;
  BirthData& rec = s.startup;
  if (k == "JD") {
    // Years of more than four digits are no moment the program can show or write back.
    static const double last = DateToJulianDay(DateTimeRecord{31, 12, 9999, 23, 59, 59});
    const double jd = ParseDateTime(v, true);
    rec.jd_local = jd >= 0 && jd <= last ? jd : 2451545.0;
  } else if (k == "GMTPOP") {
    rec.correction_h = ReadDouble(v) * 24.0;
  } else if (k == "GMTH") {
    rec.correction_h = ReadDouble(v);
  } else if (k == "LAT") {
    rec.lat_packed = ReadDouble(v);
  } else if (k == "LONG") {
    rec.lon_packed = ReadDouble(v);
  } else if (k == "NAME") {
    SetBirthText(rec.name, v.c_str());
  } else if (k == "MESTO") {
    SetBirthText(rec.place, v.c_str());
  } else if (k == "BASA") {
    s.database = Cut(v, kMaxFileName);
  } else if (k == "HouseSet") {
    s.house_system = static_cast<int16_t>(ReadInt(v));
    rec.house_system = s.house_system;
  } else if (k == "MaskP") {
    s.planet_mask = static_cast<int32_t>(ReadInt(v));
  } else if (k == "MaskA") {
    s.aspected_mask = static_cast<int32_t>(ReadInt(v));
  } else if (k == "RGN") {
    s.region = static_cast<int32_t>(ReadInt(v));
  } else if (k == "SEX") {
    rec.sex = static_cast<uint8_t>(ReadInt(v));
  } else if (k == "Ov") {
    ReadByteList(v, s.ov.data(), kOptionBytes);
  } else if (k == "ORBFILE") {
    s.orb_file = Cut(v, kMaxFileName);
  } else if (k == "Obr") {
    // accepted for old files, no longer used
  } else if (k == "Town") {
    s.town_file = Cut(v, kMaxTownFile);
  } else if (k == "LP") {
    ReadIntList(v, s.lp.data(), static_cast<int>(s.lp.size()));
  } else if (k == "ColKvi") {
    ReadIntList(v, s.colours.data(), static_cast<int>(s.colours.size()));
  } else if (k == "NamRed") {
    s.editor_path = Cut(v, kMaxEditorPath);
  } else if (k == "InterV") {
    s.interval = Cut(v, kMaxInterval);
  } else if (k == "Lf") {
    s.chars_per_line = static_cast<int16_t>(ReadInt(v));
  } else if (k == "LfP") {
    s.chars_per_print_line = static_cast<int16_t>(ReadInt(v));
  } else if (k == "Fp") {
    s.print_margin_mm = static_cast<int16_t>(ReadInt(v));
  }
}

}  // namespace

void SetBirthText(char (&field)[30], const char* text) {
  std::memset(field, 0, sizeof field);
  if (text) std::strncpy(field, text, sizeof field - 1);
}

std::array<uint8_t, kOptionBytes> Settings::DefaultOptionBytes() {
  std::array<uint8_t, kOptionBytes> ov{};
  ov[kOptPlanetRingFill] = 1;
  ov[kOptClockwise] = 1;
  ov[kOptAscendantOrigin] = 1;
  ov[kOptMaximised] = 1;
  return ov;
}

std::array<int32_t, 15> Settings::DefaultColours() {
  std::array<int32_t, 15> c;
  c.fill(-1);
  return c;
}

void ParseSettingsText(std::string_view text, Settings& s) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    std::string_view line =
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!IsCommentLine(line)) ApplyLine(line, s);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  BirthData& rec = s.startup;
  rec.jd_ut = rec.jd_calc = rec.jd_local + rec.correction_h / 24.0;
}

bool ReadSettingsFile(const std::string& path, Settings& s) {
  std::string bytes;
  if (ReadWholeFile(path, &bytes).IsNotFound()) return false;
  ParseSettingsText(bytes, s);
  return true;
}

std::string FormatSettingsText(const Settings& s) {
  const BirthData& rec = s.startup;
  auto line = [](std::string_view key, std::string_view value) {
    // The reader takes a line's last CR for the end of a CRLF line: a value written
    // with CRs at its end (a text cut in the middle of a run of them) would lose one
    // at every save. They go now, so the text reads back as the same settings.
    while (!value.empty() && value.back() == '\r') value.remove_suffix(1);
    return std::string(key) + '=' + std::string(value) + '\n';
  };
  auto number = [&line](std::string_view key, long long value) {
    return line(key, FormatInteger(value));
  };
  std::string text = line("JD", FormatDateTime(rec.jd_local));
  text += line("GMTH", FormatFixed(rec.correction_h, 8));
  text += line("LAT", FormatFixed(rec.lat_packed, 8));
  text += line("LONG", FormatFixed(rec.lon_packed, 8));
  text += line("NAME", std::string_view(rec.name, strnlen(rec.name, 30)));
  text += line("MESTO", std::string_view(rec.place, strnlen(rec.place, 30)));
  text += number("SEX", rec.sex);
  text += line("BASA", s.database);
  text += number("MaskP", s.planet_mask);
  text += number("MaskA", s.aspected_mask);
  text += ByteListLine("Ov", s.ov.data(), kOptionBytes);
  text += number("HouseSet", s.house_system);
  text += number("RGN", s.region);
  text += number("Razd", s.ov[kOptRazd]);
  text += line("Town", s.town_file);
  text += line("ORBFILE", s.orb_file);
  text += line("NamRed", s.editor_path);
  text += line("InterV", s.interval);
  text += IntListLine("LP", s.lp.data(), static_cast<int>(s.lp.size()));
  text += IntListLine("ColKvi", s.colours.data(), static_cast<int>(s.colours.size()));
  text += number("Lf", s.chars_per_line);
  text += number("LfP", s.chars_per_print_line);
  text += number("Fp", s.print_margin_mm);
  return text;
}

bool WriteSettingsFile(const std::string& path, const Settings& s) {
  std::string text = FormatSettingsText(s);
  FilePtr f(std::fopen(path.c_str(), "wb"));
  if (!f) return false;
  return std::fwrite(text.data(), 1, text.size(), f.get()) == text.size();
}

}  // namespace kv
