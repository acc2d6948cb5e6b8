#include "chart/calc/calc_houses.h"

#include "chart/record/chart_rules.h"
#include "common/messages.h"

namespace kv {

HouseCusps CalcHouses(ChartRecord& rec) {
  int system = rec.house_system;
  if (PolarRuleApplies(rec.lat_packed, system)) {
    WarningKey("virhous");
    system = kHousePorphyry;
  }
  const HouseFrame frame = HouseFrameAt(rec.jd_ut, rec.lat_packed, rec.lon_packed);
  const HouseCusps h = ComputeHouseCusps(frame, system, rec.lon[kBodySun]);
  rec.house_system = static_cast<int16_t>(h.system);
  for (int k = 1; k <= 12; ++k) rec.lon[kFirstCusp - 1 + k] = h.cusp[k];
  rec.lon[kVertexSlot] = h.vertex_deg;
  const int sun_house = HouseOf(rec, rec.lon[kBodySun]);
  const bool night = sun_house >= 1 && sun_house <= 6;
  const Lots lots = ComputeLots(h.cusp[1], night, rec.lon[kBodySun], rec.lon[kBodyMoon],
                                rec.lon[kBodyMars], rec.lon[kBodySaturn]);
  rec.lon[kFortuneSlot] = lots.fortune_deg;
  rec.lon[kSecondLotSlot] = lots.second_deg;
  return h;
}

}  // namespace kv
