// Names of aspects by angle. Orb-block records carry only their angle, so the names
// come from the text-resource list "AsNm", whose items carry the angle they name as
// a marker: "Трин[120]". An angle no item names is shown as the angle itself.
#pragma once

#include <string>
#include <string_view>

namespace kv {

inline constexpr const char* kAspectNamesKey = "AsNm";

// The name of `angle_deg` in a list text "name[angle]/name[angle]/..." (1251); an
// angle without a named item gives its degrees, such as "51.43°".
std::string AspectNameIn(std::string_view list, float angle_deg);
// The same with the list of the program's text resources.
std::string AspectName(float angle_deg);

}  // namespace kv
