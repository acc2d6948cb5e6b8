// Houses of a chart record: the polar rule, the cusps, the Vertex and the two lots on
// the sidereal frame of its moment and place (astro/houses/house_frame.h).
#pragma once

#include "astro/houses/house_frame.h"
#include "astro/houses/house_systems.h"
#include "chart/record/chart_record.h"

namespace kv {

// Fills cusps 1..12 (longitude slots 17..28), the Vertex (29), the lot of Fortune (30)
// and the second lot (31) from the record's moment, place, house system and the
// longitudes of the Sun, Moon, Mars and Saturn (slots 1, 2, 5, 7).
// Systems 1..5 beyond 66 degrees of packed latitude show "virhous" and become 10;
// unknown numbers become 8; the record keeps the number used.
// Returns the cusps with the Ascendant, MC and Vertex the system left.
HouseCusps CalcHouses(ChartRecord& rec);

}  // namespace kv
