// The local sidereal frame of a moment and place that the house systems work on,
// from the engine's time scales, obliquity and nutation.
#pragma once

#include "astro/houses/house_systems.h"

namespace kv {

// The local frame at a moment and place.
//   jd_ut       Julian day, Universal Time
//   lat_packed  geographic latitude, packed degrees.minutes, north positive
//   lon_packed  geographic longitude, packed, east positive
// Obliquity and nutation are those of ephemeris time jd_ut + DeltaT; the engine's
// records are reused when the positions of the same moment made them already.
HouseFrame HouseFrameAt(double jd_ut, double lat_packed, double lon_packed);

}  // namespace kv
