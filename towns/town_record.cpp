#include "towns/town_record.h"

#include "common/angles.h"
#include "common/numbers.h"
#include "common/tokens.h"

namespace kv::towns {
namespace {

// printf's "%-W.Ps" / "%W.Ps" on 8-bit text.
std::string Column(std::string_view text, size_t width, size_t precision, bool left) {
  std::string s(text.substr(0, precision));
  if (s.size() < width) {
    std::string pad(width - s.size(), ' ');
    s = left ? s + pad : pad + s;
  }
  return s;
}

std::string Trimmed(const std::string& s) { return s.substr(0, TrimmedLength(s)); }

}  // namespace

std::string TownListLine(const db::FieldArray& t) {
  std::string code = Trimmed(t[kFieldZoneCode]);
  if (code.empty() || static_cast<unsigned char>(code[0]) == 0xFF) code = "-";
  std::string offset = Trimmed(t[kFieldFixedOffset]);
  if (offset.empty()) offset = "-";
  return Column(t[kFieldTownName], 25, 25, true) + " " +
         Column(t[kFieldCountryRegion], 25, 25, true) + " " +
         Column(t[kFieldLatitude], 8, std::string::npos, false) + " " +
         Column(t[kFieldLongitude], 8, std::string::npos, false) + "  " +
         Column(code, 4, 4, false) + "  " + Column(offset, 4, 4, true);
}

std::string CountryListLine(const db::FieldArray& c) {
  std::string line = Trimmed(c[kFieldCountryName]);
  std::string other = Trimmed(c[kFieldCountryOtherName]);
  if (!other.empty()) line += " (" + other + ")";
  return line;
}

std::string ChosenTownText(const db::FieldArray& t) {
  std::string text = Trimmed(t[kFieldTownName]).substr(0, kMaxChosenName);
  for (int f : {kFieldNamePart2, kFieldNamePart3}) {
    const std::string part = Trimmed(t[f]);
    if (!part.empty()) text += "," + part;
  }
  return text;
}

double EastLongitude(double lon_packed) {
  if (lon_packed >= 0) return lon_packed;
  return DegreesToDegMin(DegMinToDegrees(lon_packed) + 360.0);
}

std::string LongitudeFieldText(const db::FieldArray& t) {
  return FormatFixed(EastLongitude(LeadingDouble(t[kFieldLongitude])), 2);
}

std::string TownRegion(const db::FieldArray& t) {
  std::string region = Trimmed(t[kFieldNamePart2]);
  if (!region.empty()) return region;
  const std::string place = Trimmed(t[kFieldCountryRegion]);
  const std::string country = Trimmed(t[kFieldCountry]);
  if (!country.empty() && place.compare(0, country.size(), country) == 0) {
    std::string rest = place.substr(country.size());
    size_t start = rest.find_first_not_of(", ");
    return start == std::string::npos ? std::string() : rest.substr(start);
  }
  return {};
}

}  // namespace kv::towns
