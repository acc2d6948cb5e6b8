#include "astro/houses/house_frame.h"

#include "astro/constants.h"
#include "astro/delta_t.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/nutation.h"
#include "astro/obliquity.h"
#include "astro/sidereal_time.h"
#include "common/angles.h"

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

}  // namespace kv
