#include "astro/houses/calc_houses.h"

#include "astro/calendar.h"
#include "astro/constants.h"
#include "astro/delta_t.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/nutation.h"
#include "astro/obliquity.h"
#include "astro/sidereal_time.h"
#include "chart/record/chart_rules.h"
#include "common/messages.h"

namespace kv {

HouseFrame HouseFrameAt(double jd_ut, double lat_packed, double lon_packed) {
  const double jd_et = jd_ut + DeltaT(jd_ut);
  // The nutation series is the costliest step of the frame; the positions of the
  // chart have just made it for this very date.
  const EphemerisEngine& engine = Engine();
  const double eps_mean_rad =
      engine.oblique_date.jd == jd_et ? engine.oblique_date.eps_rad : Obliquity(jd_et);
  NutationAngles nut;
  if (engine.nutation.jd == jd_et) {
    nut.dpsi_rad = engine.nutation.dpsi_rad;
    nut.deps_rad = engine.nutation.deps_rad;
  } else {
    nut = Nutation(jd_et);
  }
  HouseFrame f;
  f.eps_mean_deg = eps_mean_rad * kRadToDeg;
  const double dpsi_deg = nut.dpsi_rad * kRadToDeg;
  f.eps_deg = f.eps_mean_deg + nut.deps_rad * kRadToDeg;
  f.phi_deg = ClampHouseLatitude(DegMinToDegrees(lat_packed));
  f.armc_deg = NormalizeDegrees(15.0 * ApparentSiderealTime(jd_ut, f.eps_deg, dpsi_deg) +
                                DegMinToDegrees(lon_packed));
  return f;
}

HouseCusps CalcHouses(ChartRecord& rec) {
  int system = rec.house_system;
  if (PolarRuleApplies(rec.lat_packed, system)) {
    WarningKey("virhous");
    system = kHousePorphyry;
  }
  const HouseFrame frame = HouseFrameAt(rec.jd_ut, rec.lat_packed, rec.lon_packed);
  const HouseCusps h = ComputeHouseCusps(frame, system, rec.lon[1]);
  rec.house_system = static_cast<int16_t>(h.system);
  for (int k = 1; k <= 12; ++k) rec.lon[kFirstCusp - 1 + k] = h.cusp[k];
  rec.lon[kVertexSlot] = h.vertex_deg;
  const int sun_house = HouseOf(rec, rec.lon[1]);
  const bool night = sun_house >= 1 && sun_house <= 6;
  const Lots lots = ComputeLots(h.cusp[1], night, rec.lon[1], rec.lon[2], rec.lon[5], rec.lon[7]);
  rec.lon[kFortuneSlot] = lots.fortune_deg;
  rec.lon[kSecondLotSlot] = lots.second_deg;
  return h;
}

}  // namespace kv
