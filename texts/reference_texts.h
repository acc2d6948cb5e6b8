// The texts the reference dialogs (signs, houses, planets) open from the collection
// "zdp", which key each button asks for, and the title line of a natal interpretation.
#pragma once

#include <optional>
#include <string>

#include "chart/record/chart_record.h"
#include "texts/interpretation.h"

namespace kv {

// Selections are list indices from 0; nothing when the selection is not a valid one.
std::optional<std::string> SignsDialogKey(int sign_index);    // "z01".."z12"
std::optional<std::string> HousesDialogKey(int house_index);  // "h01".."h12"
inline constexpr const char* kHousesInGeneralKey = "h00";

// The planets dialog answers for the planets from the Sun to Pluto only (list indices
// 0..9); the nodes, Selena, Chiron, Proserpina and Lilith have no button texts.
inline constexpr int kPlanetsDialogLastPlanet = 9;
enum class PlanetButton { kPlanet, kPlanetInSign, kPlanetInHouse };
std::optional<std::string> PlanetsDialogKey(PlanetButton button, int planet_index,
                                            int sign_index, int house_index);

// One text of the details collection in the plain style, for no particular sex.
// False when the collection does not open; `out` stays empty for a missing key.
bool WriteReferenceText(const std::string& key, const InterpretationOptions& options,
                        std::string& out);

// "Натальная интерпретация: <name>, <local date and time>[, <place>]" from the
// format "IntTtl" (1251 text).
std::string NatalTitle(const ChartRecord& chart);

}  // namespace kv
