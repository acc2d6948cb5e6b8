#include "astro/nodes_apogee.h"

#include <cmath>
#include <cstring>

#include "astro/constants.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/positions/apparent_corrections.h"
#include "astro/positions/calc_body.h"
#include "astro/positions/position_pipeline.h"
#include "astro/precession.h"
#include "astro/vectors.h"

namespace kv {

namespace {

constexpr double kCircleArcsec = 1296000.0;
constexpr double kNodeDistance = 0.002569555290487047;    // AU, the Moon's mean distance
constexpr double kApogeeDistance = 0.002710625132447323;  // AU
constexpr double kMeanInclination = 0.08980410850026319;  // rad
constexpr double kMeanStep = 0.001;                       // day
constexpr double kOscuStep = 0.0001;                      // day
constexpr double kEarthMoonGm = 8.997011655185388e-10;    // AU^3/day^2

double Reduce(double arcsec) { return arcsec - kCircleArcsec * std::floor(arcsec / kCircleArcsec); }

// Difference of two angles into [-pi, pi).
double AngleDiff(double a, double b) {
  double d = std::fmod(a - b, kTwoPi);
  if (d < -kPi) d += kTwoPi;
  if (d >= kPi) d -= kTwoPi;
  return d;
}

double MeanNodeLon(double jd) {
  const LunarMeanElements m = MeanLunarElements(jd);
  return NormalizeRadians((m.mean_longitude - m.arg_latitude) * kArcsecToRad);
}

// Longitude and latitude of the mean apogee (radians).
void MeanApogeeAt(double jd, double* lon, double* lat) {
  const LunarMeanElements m = MeanLunarElements(jd);
  const double a = NormalizeRadians((m.mean_longitude - m.mean_anomaly) * kArcsecToRad + kPi);
  const double n = (m.mean_longitude - m.arg_latitude) * kArcsecToRad;
  double pol[3] = {NormalizeRadians(a - n), 0, kApogeeDistance};
  double x[3];
  PolarToCartesian(pol, x);
  const double ci = std::cos(kMeanInclination), si = std::sin(kMeanInclination);
  const double y = ci * x[1] - si * x[2];
  const double z = si * x[1] + ci * x[2];
  x[1] = y;
  x[2] = z;
  CartesianToPolar(x, pol);
  *lon = NormalizeRadians(pol[0] + n);
  *lat = pol[1];
}

// From mean-equinox ecliptic of date polar (6) to the result block.
void FinishMeanPoint(double* pol, double jd, int flags, double* block) {
  const ObliquityRecord& ob = Engine().oblique_date;
  double x[6], q[6];
  PolarToCartesianSpeed(pol, x);
  RotateAboutX(x, q, -ob.sin_eps, ob.cos_eps);
  RotateAboutX(x + 3, q + 3, -ob.sin_eps, ob.cos_eps);
  if (!(flags & kCalcSpeed)) q[3] = q[4] = q[5] = 0;
  FinishPosition(q, jd, flags | kFinishOfDate, block);
}

// The Moon on the true ecliptic of date t, seen with its light time.
Status MoonOfDate(double t, double* pv) {
  EphemerisEngine& e = Engine();
  double m[6];
  if (Status st = EvaluateBody(t, kIntMoon, kFlagSpeed, false, m); !st.ok()) return st;
  const double tau = LightTimeDays(Length(m));
  if (Status st = EvaluateBody(t - tau, kIntMoon, kFlagSpeed, false, m); !st.ok()) return st;
  const PrecessionRecord precession = MakePrecessionRecord(t);
  ApplyPrecession(precession, m, kJ2000ToDate);
  ApplyPrecession(precession, m + 3, kJ2000ToDate);
  NutationRecord fresh;
  const NutationRecord* nut = nullptr;
  double mean_eps;
  if (e.nutation.jd == t) {
    nut = &e.nutation;
    mean_eps = e.oblique_date.eps_rad;
  } else if (e.nutation_prev.jd == t) {
    nut = &e.nutation_prev;
    mean_eps = Obliquity(t);
  } else {
    mean_eps = Obliquity(t);
    fresh = MakeNutationRecord(t, mean_eps);
    nut = &fresh;
  }
  ApplyNutationMatrix(nut->matrix, m, m);
  ApplyNutationMatrix(nut->matrix, m + 3, m + 3);
  const double se = std::sin(mean_eps), ce = std::cos(mean_eps);
  for (double* v : {m, m + 3}) {
    RotateAboutX(v, v, se, ce);
    RotateAboutX(v, v, nut->sin_deps, nut->cos_deps);
  }
  std::memcpy(pv, m, sizeof m);
  return Status::Ok();
}

// Node (x) and apogee (y) of the osculating orbit through position p, velocity v.
void OsculatingPoints(const double* p, const double* v_in, double* node, double* apogee) {
  double v[3] = {v_in[0], v_in[1], v_in[2]};
  if (std::fabs(v[2]) < 1e-15) v[2] = 1e-15;
  const double fac = p[2] / v[2];
  const double sgn = v[2] / std::fabs(v[2]);
  double x[3];
  for (int i = 0; i < 3; ++i) x[i] = (p[i] - fac * v[i]) * sgn;
  const double rxy = std::sqrt(x[0] * x[0] + x[1] * x[1]);
  const double cos_node = x[0] / rxy, sin_node = x[1] / rxy;
  double n[3];
  Cross(p, v, n);
  const double rn = Length(n);
  const double sin_i = std::sqrt(n[0] * n[0] + n[1] * n[1]) / rn;
  const double cos_i = std::sqrt(1 - sin_i * sin_i);
  const double cos_u = p[0] * cos_node + p[1] * sin_node;
  const double sin_u = p[2] / sin_i;
  const double u = std::atan2(sin_u, cos_u);
  const double r = Length(p);
  const double a = 1 / (2 / r - Dot(v, v) / kEarthMoonGm);
  const double pp = rn * rn / kEarthMoonGm;
  const double ecc = std::sqrt(1 - pp / a);
  const double cos_e = (1 - r / a) / ecc;
  const double sin_e = Dot(p, v) / (ecc * std::sqrt(a * kEarthMoonGm));
  const double ratio = std::sqrt((1 + ecc) / (1 - ecc));
  const double nu = 2 * std::atan(ratio * sin_e / (1 + cos_e));
  double pol[3] = {NormalizeRadians(u - nu + kPi), 0, a * (1 + ecc)};
  double y[3];
  PolarToCartesian(pol, y);
  const double yy = cos_i * y[1] - sin_i * y[2];
  const double yz = sin_i * y[1] + cos_i * y[2];
  y[1] = yy;
  y[2] = yz;
  CartesianToPolar(y, pol);
  pol[0] += std::atan2(sin_node, cos_node);
  PolarToCartesian(pol, apogee);
  const double nu2 = NormalizeRadians(nu - u);
  const double cos_e2 = std::cos(2 * std::atan(std::tan(nu2 / 2) / ratio));
  const double scale = a * (1 - ecc * cos_e2) / Length(x);
  for (int i = 0; i < 3; ++i) node[i] = x[i] * scale;
}

// Result block of a point given on the true ecliptic of date (rectangular with speeds).
void BlockFromTrueEcliptic(const double* ecl, double* block) {
  EphemerisEngine& e = Engine();
  std::memcpy(block + 6, ecl, 6 * sizeof(double));
  double* equ = block + 18;
  for (int k = 0; k < 2; ++k) {
    RotateAboutX(ecl + 3 * k, equ + 3 * k, -e.nutation.sin_deps, e.nutation.cos_deps);
    RotateAboutX(equ + 3 * k, equ + 3 * k, -e.oblique_date.sin_eps, e.oblique_date.cos_eps);
  }
  CartesianToPolarSpeed(block + 6, block);
  CartesianToPolarSpeed(equ, block + 12);
  for (double* pol : {block, block + 12})
    for (int i : {0, 1, 3, 4}) pol[i] *= kRadToDeg;
}

Status TrueNodeAndApogee(double jd, int flags, LunarPointRecord& node_rec,
                         LunarPointRecord& apogee_rec) {
  const bool speed = flags & kCalcSpeed;
  double nodes[3][3], apogees[3][3];
  for (int k = 0; k < 3; ++k) {
    if (!speed && k != 1) continue;
    double pv[6];
    const Status moon = MoonOfDate(jd + (k - 1) * kOscuStep, pv);
    if (moon.IsNotFound()) {  // no Moon for the date: zero points
      std::memset(node_rec.result, 0, sizeof node_rec.result);
      std::memset(apogee_rec.result, 0, sizeof apogee_rec.result);
    }
    if (!moon.ok()) return moon;
    OsculatingPoints(pv, pv + 3, nodes[k], apogees[k]);
  }
  double node[6], apogee[6];
  for (int i = 0; i < 3; ++i) {
    node[i] = nodes[1][i];
    apogee[i] = apogees[1][i];
    node[i + 3] = speed ? (nodes[2][i] - nodes[0][i]) / (2 * kOscuStep) : 0;
    apogee[i + 3] = speed ? (apogees[2][i] - apogees[0][i]) / (2 * kOscuStep) : 0;
  }
  BlockFromTrueEcliptic(node, node_rec.result);
  BlockFromTrueEcliptic(apogee, apogee_rec.result);
  // The node lies on the ecliptic by definition.
  for (int i : {1, 4, 8, 11}) node_rec.result[i] = 0;
  return Status::Ok();
}

}  // namespace

LunarMeanElements MeanLunarElements(double jd) {
  const double t = (jd - kJ2000) / kDaysPerCentury;
  const double f = std::fmod(t, 1.0);
  const double t2 = t * t;
  LunarMeanElements m;
  m.arg_latitude = Reduce(1739232000.0 * f + 295263.0983 * t - 0.207941990176 * t + 335779.55755) +
                   (-13.12045233711 + (-0.00113821591258 - 9.646018347184e-06 * t) * t) * t2;
  m.mean_anomaly = Reduce(1717200000.0 * f + 715923.4728 * t - 0.2035946368532 * t + 485868.28096) +
                   (31.46734198839 + (0.0476835758578 - 0.0003421689790404 * t) * t) * t2;
  m.mean_longitude =
      Reduce(1731456000.0 * f + 1108372.83264 * t - 0.6784914260953 * t + 785939.95571) +
      (-5.663161722088 + (0.005722859298199 - 8.466472828815e-05 * t) * t) * t2;
  return m;
}

Status LunarPoint(double jd, int body, int flags, double* block) {
  ApparentPlaceCache& cache = Engine().apparent;
  LunarPointRecord& rec = cache.lunar_points[body - kMeanNode];
  if (rec.flags == flags && rec.jd == jd && jd != 0) {
    std::memcpy(block, rec.result, sizeof rec.result);
    return Status::Ok();
  }
  if (body == kMeanNode) {
    const double lon = MeanNodeLon(jd);
    const double before = MeanNodeLon(jd - kMeanStep);
    double pol[6] = {lon, 0, kNodeDistance, AngleDiff(lon, before) / kMeanStep, 0, 0};
    FinishMeanPoint(pol, jd, flags, rec.result);
    rec.result[1] = rec.result[4] = rec.result[5] = 0;
  } else if (body == kMeanApogee) {
    double lon, lat, lon0, lat0;
    MeanApogeeAt(jd, &lon, &lat);
    MeanApogeeAt(jd - kMeanStep, &lon0, &lat0);
    double pol[6] = {lon, lat, kApogeeDistance, AngleDiff(lon, lon0) / kMeanStep,
                     (lat - lat0) / kMeanStep, 0};
    FinishMeanPoint(pol, jd, flags, rec.result);
  } else {
    LunarPointRecord& node = cache.lunar_points[kTrueNode - kMeanNode];
    LunarPointRecord& apogee = cache.lunar_points[kOscuApogee - kMeanNode];
    const Status st = TrueNodeAndApogee(jd, flags, node, apogee);
    if (!st.ok() && !st.IsNotFound()) return st;
    node.jd = apogee.jd = jd;
    node.flags = apogee.flags = st.ok() ? flags : -1;
    std::memcpy(block, rec.result, sizeof rec.result);
    return st;
  }
  rec.jd = jd;
  rec.flags = flags;
  std::memcpy(block, rec.result, sizeof rec.result);
  return Status::Ok();
}

}  // namespace kv
