// Houses of a chart record: the sidereal frame of its moment and place, the polar
// rule, the cusps, the Vertex and the two lots.
#pragma once

#include "astro/houses/house_systems.h"
#include "chart/record/chart_record.h"

namespace kv {

// The local frame at a moment and place.
//   jd_ut       Julian day, Universal Time
//   lat_packed  geographic latitude, packed degrees.minutes, north positive
//   lon_packed  geographic longitude, packed, east positive
// Obliquity and nutation are those of ephemeris time jd_ut + DeltaT; the engine's
// records are reused when the positions of the same moment made them already.
HouseFrame HouseFrameAt(double jd_ut, double lat_packed, double lon_packed);

// Fills cusps 1..12 (longitude slots 17..28), the Vertex (29), the lot of Fortune (30)
// and the second lot (31) from the record's moment, place, house system and the
// longitudes of the Sun, Moon, Mars and Saturn (slots 1, 2, 5, 7).
// Systems 1..5 beyond 66 degrees of packed latitude show "virhous" and become 10;
// unknown numbers become 8; the record keeps the number used.
// Returns the cusps with the Ascendant, MC and Vertex the system left.
HouseCusps CalcHouses(ChartRecord& rec);

}  // namespace kv
