// Numbers shared by the whole engine: angle units and the time scale of Julian days.
#pragma once

namespace kv {

inline constexpr double kDegToRad = 0.017453292519943295;
inline constexpr double kRadToDeg = 57.29577951308232;
inline constexpr double kArcsecToRad = 4.848136811095361e-6;
inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kJ1900 = 2415020.0;
inline constexpr double kJ2000 = 2451545.0;
inline constexpr double kDaysPerCentury = 36525.0;
inline constexpr double kDaysPerJulianYear = 365.25;
inline constexpr double kTropicalYear = 365.2421;
inline constexpr double kSiderealPerSolar = 1.002737908;

}  // namespace kv
