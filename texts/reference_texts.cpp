#include "texts/reference_texts.h"

#include "common/calendar.h"
#include "common/messages.h"
#include "texts/text_layout.h"

namespace kv {
namespace {
bool InTwelve(int index) { return index >= 0 && index < 12; }
}  // namespace

std::optional<std::string> SignsDialogKey(int sign_index) {
  if (!InTwelve(sign_index)) return std::nullopt;
  return SignKey(sign_index + 1);
}

std::optional<std::string> HousesDialogKey(int house_index) {
  if (!InTwelve(house_index)) return std::nullopt;
  return HouseKey(house_index + 1);
}

std::optional<std::string> PlanetsDialogKey(PlanetButton button, int planet_index,
                                            int sign_index, int house_index) {
  if (planet_index < 0 || planet_index > kPlanetsDialogLastPlanet) return std::nullopt;
  const int body = planet_index + 1;
  switch (button) {
    case PlanetButton::kPlanet:
      return PlanetKey(body);
    case PlanetButton::kPlanetInSign:
      if (!InTwelve(sign_index)) return std::nullopt;
      return PlanetInSignKey(body, sign_index + 1);
    case PlanetButton::kPlanetInHouse:
      if (!InTwelve(house_index)) return std::nullopt;
      return PlanetInHouseKey(body, house_index + 1);
  }
  return std::nullopt;
}

bool WriteReferenceText(const std::string& key, const InterpretationOptions& options,
                        std::string& out) {
  TextCollection texts;
  if (!texts.Open(options.details_collection, options.workdir)) return false;
  PrintPlain(texts.Fetch(key, SexCode::kNone), options.justify, out);
  return true;
}

std::string NatalTitle(const ChartRecord& chart) {
  std::string who(chart.name, strnlen(chart.name, sizeof chart.name));
  who += ", " + FormatDateTime(chart.jd_local);
  const std::string place(chart.place, strnlen(chart.place, sizeof chart.place));
  if (!place.empty()) who += ", " + place;
  return FormatKey("IntTtl", who.c_str());
}

}  // namespace kv
