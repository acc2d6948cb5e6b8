#include "astro/positions/calc_body.h"

#include <cmath>
#include <cstring>

#include "astro/constants.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/nodes_apogee.h"
#include "astro/nutation.h"
#include "astro/obliquity.h"
#include "astro/positions/apparent_corrections.h"
#include "astro/positions/position_pipeline.h"
#include "astro/precession.h"
#include "astro/vectors.h"
#include "common/codepage.h"
#include "common/journal.h"
#include "common/messages.h"

namespace kv {

namespace {

// The Moon's share of the Earth-Moon mass: Earth = barycentre - factor x Moon.
constexpr double kMoonShare = 0.01215058143522694;
constexpr double kNutationStep = 0.0001;

void Zero(double* v, int n) { std::memset(v, 0, sizeof(double) * n); }

// Internal number of a public body of the files; -1 for other numbers.
int InternalOf(int body) {
  if (body == kSun || body == kEarth) return kIntEmb;
  if (body >= kMoon && body <= kPluto) return body;
  switch (body) {
    case kChiron: return kIntChiron;
    case kCeres: return kIntCeres;
    case kPallas: return kIntCeres + 1;
    case kJuno: return kIntCeres + 2;
    case kVesta: return kIntVesta;
    case kPholus: return kIntPholus;
    default: break;
  }
  if (body > kAsteroidOffset) return body;  // the reader takes the public number
  return -1;
}

int IndexOf(int internal) { return internal > kNumberedAsteroidBase ? kIntAsteroid : internal; }

EphemerisBody& RecordOf(int internal) { return Engine().bodies[IndexOf(internal)]; }

ApparentResult& ResultOf(int internal) { return Engine().apparent.bodies[IndexOf(internal)]; }

// Barycentric Earth at jd; kept in the engine's cache when keep is set. `moon_known`,
// when given, is the Moon at jd as this routine would evaluate it (same flags).
Status EarthAt(double jd, int flags, bool keep, double* earth,
               const double* moon_known = nullptr) {
  ApparentPlaceCache& c = Engine().apparent;
  const bool speed = (flags & kCalcSpeed) || keep;
  if (c.earth_jd == jd && jd != 0 && (!speed || c.earth_has_speed)) {
    std::memcpy(earth, c.earth, sizeof c.earth);
    return Status::Ok();
  }
  double emb[6], moon[6];
  const int f = speed ? (flags | kCalcSpeed) : flags;
  Status st = EvaluateBody(jd, kIntEmb, f, keep, emb);
  if (st.ok() && moon_known) std::memcpy(moon, moon_known, sizeof moon);
  else if (st.ok()) st = EvaluateBody(jd, kIntMoon, f, keep, moon);
  if (!st.ok()) {
    Zero(earth, 6);
    return st;
  }
  for (int i = 0; i < 6; ++i) earth[i] = emb[i] - kMoonShare * moon[i];
  if (!speed) earth[3] = earth[4] = earth[5] = 0;
  if (keep) {
    c.earth_jd = jd;
    c.earth_has_speed = true;
    std::memcpy(c.earth, earth, sizeof c.earth);
  }
  return Status::Ok();
}

double LightTimeOf(const double* v) { return LightTimeDays(Length(v)); }

}  // namespace

Status RawVectors(double jd, int internal, int flags, bool keep, double* body, double* earth,
                  double* sun) {
  double s[6] = {}, e[6] = {};
  const bool rec_helio = internal != kIntEmb && internal != kIntMoon &&
                         (RecordOf(internal).header.flags & kCoeffHeliocentric);
  const bool helio_mode = flags & kCalcHeliocentric;
  const int f = keep ? (flags | kCalcSpeed) : flags;
  Status st;
  if (keep || sun || rec_helio || internal == kIntSun || helio_mode)
    st = EvaluateBody(jd, kIntSun, f, keep, s);
  // The Moon of a moment not kept is the same vector in the Earth as in the body.
  const bool moon_first = internal == kIntMoon && body && !keep;
  if (st.ok() && moon_first) st = EvaluateBody(jd, kIntMoon, f, keep, body);
  if (st.ok() && (keep || earth || internal == kIntEmb || internal == kIntMoon))
    st = EarthAt(jd, f, keep, e, moon_first ? body : nullptr);
  if (st.ok() && body && !moon_first) {
    if (internal == kIntEmb) {
      std::memcpy(body, e, sizeof e);
    } else if (internal == kIntMoon) {
      st = EvaluateBody(jd, kIntMoon, f, keep, body);
    } else {
      st = EvaluateBody(jd, internal, f, keep, body);
      // The file keeps some bodies around the Sun; the caller wants them barycentric.
      if (st.ok() && (RecordOf(internal).header.flags & kCoeffHeliocentric))
        for (int i = 0; i < 6; ++i) body[i] += s[i];
    }
  }
  if (!st.ok() && body) Zero(body, 6);
  if (earth) std::memcpy(earth, e, sizeof e);
  if (sun) std::memcpy(sun, s, sizeof s);
  return st;
}

void PrepareDate(double jd, int flags) {
  EphemerisEngine& e = Engine();
  if (e.oblique_date.jd != jd || jd == 0)
    e.oblique_date = jd == kJ2000 ? e.oblique_j2000 : MakeObliquityRecord(jd);
  const bool speed = flags & kCalcSpeed;
  const bool prev_ok = e.nutation_prev.jd == jd - kNutationStep;
  if (e.nutation.jd != jd || jd == 0 || (speed && !prev_ok)) {
    e.nutation = MakeNutationRecord(jd, e.oblique_date.eps_rad);
    if (speed)
      e.nutation_prev = MakeNutationRecord(jd - kNutationStep, Obliquity(jd - kNutationStep));
  }
  if (e.precession.jd_et != jd || jd == 0) e.precession = MakePrecessionRecord(jd);
}

void FinishPosition(double* p, double jd, int flags, double* block) {
  EphemerisEngine& e = Engine();
  const bool speed = flags & kCalcSpeed;
  const ObliquityRecord& ob = e.oblique_date;
  const bool of_date = flags & kFinishOfDate;
  if (!of_date) ApplyPrecession(e.precession, p, kJ2000ToDate);
  if (speed && !of_date) {
    ApplyPrecession(e.precession, p + 3, kJ2000ToDate);
    // The mean equinox moves along the ecliptic: add the general precession rate.
    const double t = (jd - kJ2000) / kDaysPerCentury;
    double ecl[6], pol[6];
    RotateAboutX(p, ecl, ob.sin_eps, ob.cos_eps);
    RotateAboutX(p + 3, ecl + 3, ob.sin_eps, ob.cos_eps);
    CartesianToPolarSpeed(ecl, pol);
    pol[3] += (50.290966 + 0.0222226 * t) / 3600.0 / kDaysPerJulianYear * kDegToRad;
    PolarToCartesianSpeed(pol, ecl);
    RotateAboutX(ecl, p, -ob.sin_eps, ob.cos_eps);
    RotateAboutX(ecl + 3, p + 3, -ob.sin_eps, ob.cos_eps);
  } else if ((flags & kCalcPlaceOfSpeed) && !of_date) {
    // The place goes through the same turn to the ecliptic and back as above.
    double ecl[3], pol[3];
    RotateAboutX(p, ecl, ob.sin_eps, ob.cos_eps);
    CartesianToPolar(ecl, pol);
    PolarToCartesian(pol, ecl);
    RotateAboutX(ecl, p, -ob.sin_eps, ob.cos_eps);
  }
  const double mean[3] = {p[0], p[1], p[2]};
  ApplyNutationMatrix(e.nutation.matrix, p, p);
  if (speed) {
    double now[3], before[3];
    ApplyNutationMatrix(e.nutation.matrix, mean, now);
    ApplyNutationMatrix(e.nutation_prev.matrix, mean, before);
    ApplyNutationMatrix(e.nutation.matrix, p + 3, p + 3);
    for (int i = 0; i < 3; ++i) p[3 + i] += (now[i] - before[i]) / kNutationStep;
  } else {
    p[3] = p[4] = p[5] = 0;
  }
  double* ecl_rect = block + 6;
  double* equ_rect = block + 18;
  std::memcpy(equ_rect, p, 6 * sizeof(double));
  RotateAboutX(p, ecl_rect, ob.sin_eps, ob.cos_eps);
  RotateAboutX(p + 3, ecl_rect + 3, ob.sin_eps, ob.cos_eps);
  RotateAboutX(ecl_rect, ecl_rect, e.nutation.sin_deps, e.nutation.cos_deps);
  RotateAboutX(ecl_rect + 3, ecl_rect + 3, e.nutation.sin_deps, e.nutation.cos_deps);
  auto polar_in_degrees = [](const double* rect, double* pol) {
    CartesianToPolarSpeed(rect, pol);
    pol[0] *= kRadToDeg;
    pol[1] *= kRadToDeg;
    pol[3] *= kRadToDeg;
    pol[4] *= kRadToDeg;
  };
  polar_in_degrees(ecl_rect, block);
  if (!(flags & kFinishEclipticOnly)) polar_in_degrees(equ_rect, block + 12);
}

namespace {

// The flags for finishing a result: without the equatorial polar coordinates when
// they are not wanted.
int FinishFlags(int flags, bool equatorial) {
  return equatorial ? flags : flags | kFinishEclipticOnly;
}

// The raw vectors of a body at the date of its result, with the Earth and the Sun
// (RawVectors with keep set).
struct RawAtDate {
  double body[6], earth[6], sun[6];
};

// Planets and minor bodies: light time, deflection, aberration.
Status ApparentPlanet(double jd, int internal, int flags, bool equatorial, const RawAtDate& raw,
                      ApparentResult& rec) {
  const bool speed = flags & kCalcSpeed;
  const bool helio = flags & kCalcHeliocentric;
  double x[6];
  std::memcpy(x, raw.body, sizeof x);
  const double* earth = raw.earth;
  const double* sun = raw.sun;
  double obs[6];
  if (helio) {
    std::memcpy(obs, sun, sizeof obs);
    for (int i = 0; i < 6; ++i) x[i] -= sun[i];
  } else {
    std::memcpy(obs, earth, sizeof obs);
  }
  double xs[3] = {0, 0, 0};
  if (speed) {
    for (int i = 0; i < 3; ++i) xs[i] = x[i] - x[i + 3];
    for (int pass = 0; pass < 2; ++pass) {
      double d[3];
      for (int i = 0; i < 3; ++i) d[i] = helio ? xs[i] : xs[i] - (obs[i] - obs[i + 3]);
      const double tau = LightTimeOf(d);
      for (int i = 0; i < 3; ++i) xs[i] = (x[i] - x[i + 3]) - tau * x[i + 3];
    }
    for (int i = 0; i < 3; ++i) xs[i] = (x[i] - x[i + 3]) - xs[i];
  }
  double xa[3] = {x[0], x[1], x[2]};
  double tau = 0, t_emit = jd;
  for (int pass = 0; pass < 2; ++pass) {
    double d[3];
    for (int i = 0; i < 3; ++i) d[i] = helio ? xa[i] : xa[i] - obs[i];
    tau = LightTimeOf(d);
    t_emit = jd - tau;
    if (t_emit < 0) {
      Journal("app... ipli=%d t=%f dt=%f teval=%f", internal, jd, tau, t_emit);
      Journal("dx=%f %f %f xx=%f %f %f xobs=%f %f %f", d[0], d[1], d[2], x[0], x[1], x[2],
              obs[0], obs[1], obs[2]);
    }
    for (int i = 0; i < 3; ++i) xa[i] = x[i] - tau * x[i + 3];
  }
  if (speed)
    for (int i = 0; i < 3; ++i) xs[i] = x[i] - xa[i] - xs[i];
  // The Earth at the moment of emission only corrects the daily motion.
  double p[6], earth_emit[6];
  if (Status st = RawVectors(t_emit, internal, flags, false, p, speed ? earth_emit : nullptr,
                             nullptr);
      !st.ok())
    return st;
  if (helio) {
    for (int i = 0; i < 6; ++i) p[i] -= sun[i];
  } else {
    for (int i = 0; i < 6; ++i) p[i] -= obs[i];
    if (speed)
      for (int i = 0; i < 3; ++i) p[i + 3] -= xs[i];
  }
  if (!speed) p[3] = p[4] = p[5] = 0;
  if (!(flags & kCalcNoDeflection)) DeflectLight(p, earth, sun, tau, speed);
  if (!(flags & kCalcNoAberration)) {
    Aberrate(p, obs + 3, speed);
    if (speed)
      for (int i = 3; i < 6; ++i) p[i] += obs[i] - earth_emit[i];
  }
  FinishPosition(p, jd, FinishFlags(flags, equatorial), rec.block);
  return Status::Ok();
}

// The Sun (seen from the Earth) or, in heliocentric mode, the Earth (seen from the Sun).
Status ApparentSun(double jd, int flags, bool equatorial, const RawAtDate& raw,
                   ApparentResult& rec) {
  const bool speed = flags & kCalcSpeed;
  const bool helio = flags & kCalcHeliocentric;
  const double* earth = raw.earth;
  const double* sun = raw.sun;
  double d[6];
  for (int i = 0; i < 6; ++i) d[i] = earth[i] - sun[i];
  if (!helio) {
    // The geometric heliocentric Earth needs no light time; the Sun's light does.
    for (int pass = 0; pass < 2; ++pass) {
      const double t_emit = jd - LightTimeOf(d);
      double s_emit[6];
      if (Status st = EvaluateBody(t_emit, kIntSun, speed ? flags | kCalcSpeed : flags, false,
                                   s_emit);
          !st.ok())
        return st;
      for (int i = 0; i < 6; ++i) d[i] = earth[i] - s_emit[i];
    }
  }
  if (!speed) d[3] = d[4] = d[5] = 0;
  if (!helio)
    for (double& v : d) v = -v;
  if (!(flags & kCalcNoAberration)) Aberrate(d, earth + 3, speed);
  FinishPosition(d, jd, FinishFlags(flags, equatorial), rec.block);
  return Status::Ok();
}

Status ApparentMoon(double jd, int flags, bool equatorial, const RawAtDate& raw,
                    ApparentResult& rec) {
  const bool speed = flags & kCalcSpeed;
  const bool helio = flags & kCalcHeliocentric;
  const double* moon = raw.body;
  const double* earth = raw.earth;
  const double* sun = raw.sun;
  double obs[6], b[6];
  for (int i = 0; i < 6; ++i) {
    b[i] = moon[i] + earth[i];
    obs[i] = helio ? sun[i] : earth[i];
  }
  double rel[3];
  for (int i = 0; i < 3; ++i) rel[i] = helio ? b[i] - sun[i] : moon[i];
  const double t_emit = jd - LightTimeOf(rel);
  double moon2[6], earth2[6];
  if (Status st = RawVectors(t_emit, kIntMoon, speed ? flags | kCalcSpeed : flags, false, moon2,
                             earth2, nullptr);
      !st.ok())
    return st;
  double p[6];
  for (int i = 0; i < 6; ++i) p[i] = moon2[i] + earth2[i] - obs[i];
  if (!(flags & kCalcNoAberration)) {
    Aberrate(p, obs + 3, speed);
    if (speed)
      for (int i = 3; i < 6; ++i) p[i] += obs[i] - earth2[i];
  }
  if (!speed) p[3] = p[4] = p[5] = 0;
  FinishPosition(p, jd, FinishFlags(flags, equatorial), rec.block);
  return Status::Ok();
}

// The public result of a position: the flags, kCalcNoData or -1 (Engine().failure).
int PublicResult(const Status& st, int flags) {
  if (st.ok()) return flags;
  return st.IsNotFound() ? kCalcNoData : -1;
}

// One body into block (24 doubles); the equatorial polar coordinates only when
// `equatorial` is set.
int Compute(double jd, int body, int flags, double* block, bool equatorial) {
  Zero(block, 24);
  if (flags & kCalcHeliocentric) flags |= kCalcNoDeflection | kCalcNoAberration;
  PrepareDate(jd, flags);
  const bool helio = flags & kCalcHeliocentric;
  if (body >= kMeanNode && body <= kOscuApogee) {
    if (helio) return flags;
    return PublicResult(LunarPoint(jd, body, flags, block), flags);
  }
  const int internal = InternalOf(body);
  if (internal < 0) {
    Engine().failure =
        Status::InvalidArgument(FormatMessage(W("Ошибочный номер планеты %d").c_str(), body));
    return -1;
  }
  if ((body == kSun && helio) || (body == kEarth && !helio)) return flags;
  ApparentResult& rec = ResultOf(internal);
  // The reader's cache tells whether the block still belongs to this date.
  RawAtDate raw;
  Status st = RawVectors(jd, body == kMoon ? kIntMoon : internal, flags, true, raw.body, raw.earth,
                         raw.sun);
  const bool kept = rec.flags == flags && rec.jd == jd && (rec.has_equatorial_polar || !equatorial);
  if (st.ok() && !kept) {
    if (body == kMoon) st = ApparentMoon(jd, flags, equatorial, raw, rec);
    else if (internal == kIntEmb) st = ApparentSun(jd, flags, equatorial, raw, rec);
    else st = ApparentPlanet(jd, internal, flags, equatorial, raw, rec);
    if (st.ok()) rec.has_equatorial_polar = equatorial;
  }
  if (!st.ok()) {
    if (st.IsNotFound()) rec.flags = -1;  // an all-zero record
    return PublicResult(st, flags);
  }
  rec.flags = flags;
  rec.jd = jd;
  std::memcpy(block, rec.block, sizeof rec.block);
  return flags;
}

// Compute with an all-zero block on failure.
int ComputeOrZero(double jd, int body, int flags, double* block, bool equatorial) {
  const int rc = Compute(jd, body, flags, block, equatorial);
  if (rc < 0) Zero(block, 24);
  return rc;
}

}  // namespace

int CalcBodyBlock(double jd_et, int body, int flags, double* block24) {
  return ComputeOrZero(jd_et, body, flags, block24, true);
}

int CalcBody(double jd_et, int body, int flags, double* out) {
  double block[24];
  const int rc = ComputeOrZero(jd_et, body, flags, block, false);
  std::memcpy(out, block, 6 * sizeof(double));
  return rc;
}

void EclipticToEquatorial(double lon_deg, double lat_deg, double jd, double* ra_deg,
                          double* dec_deg) {
  const double e = Obliquity(jd);
  const double l = lon_deg * kDegToRad, b = lat_deg * kDegToRad;
  const double ra = std::atan2(std::sin(l) * std::cos(e) - std::tan(b) * std::sin(e), std::cos(l));
  *ra_deg = NormalizeRadians(ra) * kRadToDeg;
  *dec_deg = std::asin(std::sin(b) * std::cos(e) + std::cos(b) * std::sin(e) * std::sin(l)) * kRadToDeg;
}

}  // namespace kv
