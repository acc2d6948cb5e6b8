// Numbers shared by the whole engine: angle units and the time scale of Julian days.
#pragma once

#include "common/angles.h"  // kPi, kTwoPi, kDegToRad, kRadToDeg

namespace kv {

inline constexpr double kArcsecToRad = 4.848136811095361e-6;
inline constexpr double kJ1900 = 2415020.0;
inline constexpr double kJ2000 = 2451545.0;
inline constexpr double kDaysPerCentury = 36525.0;
inline constexpr double kDaysPerJulianYear = 365.25;
inline constexpr double kTropicalYear = 365.2421;
inline constexpr double kSiderealPerSolar = 1.002737908;

}  // namespace kv
