#include "astro/nutation.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <utility>

#include "astro/constants.h"

namespace kv {

namespace {

// One periodic term of the series: multipliers of the fundamental arguments l, l', F,
// D, Omega; longitude and obliquity amplitudes in 0.0001" and their rates in 0.00001"
// per Julian century. The leading 18.6-year term is applied separately.
struct NutationTerm {
  int8_t l, lp, f, d, om;
  int16_t dpsi, dpsi_t, deps, deps_t;
};

constexpr NutationTerm kTerms[] = {
    {0, 0, 0, 0, 2, 2062, 2, -895, 5},
    {-2, 0, 2, 0, 1, 46, 0, -24, 0},
    {2, 0, -2, 0, 0, 11, 0, 0, 0},
    {-2, 0, 2, 0, 2, -3, 0, 1, 0},
    {1, -1, 0, -1, 0, -3, 0, 0, 0},
    {0, -2, 2, -2, 1, -2, 0, 1, 0},
    {2, 0, -2, 0, 1, 1, 0, 0, 0},
    {0, 0, 2, -2, 2, -13187, -16, 5736, -31},
    {0, 1, 0, 0, 0, 1426, -34, 54, -1},
    {0, 1, 2, -2, 2, -517, 12, 224, -6},
    {0, -1, 2, -2, 2, 217, -5, -95, 3},
    {0, 0, 2, -2, 1, 129, 1, -70, 0},
    {2, 0, 0, -2, 0, 48, 0, 1, 0},
    {0, 0, 2, -2, 0, -22, 0, 0, 0},
    {0, 2, 0, 0, 0, 17, -1, 0, 0},
    {0, 1, 0, 0, 1, -15, 0, 9, 0},
    {0, 2, 2, -2, 2, -16, 1, 7, 0},
    {0, -1, 0, 0, 1, -12, 0, 6, 0},
    {-2, 0, 0, 2, 1, -6, 0, 3, 0},
    {0, -1, 2, -2, 1, -5, 0, 3, 0},
    {2, 0, 0, -2, 1, 4, 0, -2, 0},
    {0, 1, 2, -2, 1, 4, 0, -2, 0},
    {1, 0, 0, -1, 0, -4, 0, 0, 0},
    {2, 1, 0, -2, 0, 1, 0, 0, 0},
    {0, 0, -2, 2, 1, 1, 0, 0, 0},
    {0, 1, -2, 2, 0, -1, 0, 0, 0},
    {0, 1, 0, 0, 2, 1, 0, 0, 0},
    {-1, 0, 0, 1, 1, 1, 0, 0, 0},
    {0, 1, 2, -2, 0, -1, 0, 0, 0},
    {0, 0, 2, 0, 2, -2274, -2, 977, -5},
    {1, 0, 0, 0, 0, 712, 1, -7, 0},
    {0, 0, 2, 0, 1, -386, -4, 200, 0},
    {1, 0, 2, 0, 2, -301, 0, 129, -1},
    {1, 0, 0, -2, 0, -158, 0, -1, 0},
    {-1, 0, 2, 0, 2, 123, 0, -53, 0},
    {0, 0, 0, 2, 0, 63, 0, -2, 0},
    {1, 0, 0, 0, 1, 63, 1, -33, 0},
    {-1, 0, 0, 0, 1, -58, -1, 32, 0},
    {-1, 0, 2, 2, 2, -59, 0, 26, 0},
    {1, 0, 2, 0, 1, -51, 0, 27, 0},
    {0, 0, 2, 2, 2, -38, 0, 16, 0},
    {2, 0, 0, 0, 0, 29, 0, -1, 0},
    {1, 0, 2, -2, 2, 29, 0, -12, 0},
    {2, 0, 2, 0, 2, -31, 0, 13, 0},
    {0, 0, 2, 0, 0, 26, 0, -1, 0},
    {-1, 0, 2, 0, 1, 21, 0, -10, 0},
    {-1, 0, 0, 2, 1, 16, 0, -8, 0},
    {1, 0, 0, -2, 1, -13, 0, 7, 0},
    {-1, 0, 2, 2, 1, -10, 0, 5, 0},
    {1, 1, 0, -2, 0, -7, 0, 0, 0},
    {0, 1, 2, 0, 2, 7, 0, -3, 0},
    {0, -1, 2, 0, 2, -7, 0, 3, 0},
    {1, 0, 2, 2, 2, -8, 0, 3, 0},
    {1, 0, 0, 2, 0, 6, 0, 0, 0},
    {2, 0, 2, -2, 2, 6, 0, -3, 0},
    {0, 0, 0, 2, 1, -6, 0, 3, 0},
    {0, 0, 2, 2, 1, -7, 0, 3, 0},
    {1, 0, 2, -2, 1, 6, 0, -3, 0},
    {0, 0, 0, -2, 1, -5, 0, 3, 0},
    {1, -1, 0, 0, 0, 5, 0, 0, 0},
    {2, 0, 2, 0, 1, -5, 0, 3, 0},
    {0, 1, 0, -2, 0, -4, 0, 0, 0},
    {1, 0, -2, 0, 0, 4, 0, 0, 0},
    {0, 0, 0, 1, 0, -4, 0, 0, 0},
    {1, 1, 0, 0, 0, -3, 0, 0, 0},
    {1, 0, 2, 0, 0, 3, 0, 0, 0},
    {1, -1, 2, 0, 2, -3, 0, 1, 0},
    {-1, -1, 2, 2, 2, -3, 0, 1, 0},
    {-2, 0, 0, 0, 1, -2, 0, 1, 0},
    {3, 0, 2, 0, 2, -3, 0, 1, 0},
    {0, -1, 2, 2, 2, -3, 0, 1, 0},
    {1, 1, 2, 0, 2, 2, 0, -1, 0},
    {-1, 0, 2, -2, 1, -2, 0, 1, 0},
    {2, 0, 0, 0, 1, 2, 0, -1, 0},
    {1, 0, 0, 0, 2, -2, 0, 1, 0},
    {3, 0, 0, 0, 0, 2, 0, 0, 0},
    {0, 0, 2, 1, 2, 2, 0, -1, 0},
    {-1, 0, 0, 0, 2, 1, 0, -1, 0},
    {1, 0, 0, -4, 0, -1, 0, 0, 0},
    {-2, 0, 2, 2, 2, 1, 0, -1, 0},
    {-1, 0, 2, 4, 2, -2, 0, 1, 0},
    {2, 0, 0, -4, 0, -1, 0, 0, 0},
    {1, 1, 2, -2, 2, 1, 0, -1, 0},
    {1, 0, 2, 2, 1, -1, 0, 1, 0},
    {-2, 0, 2, 4, 2, -1, 0, 1, 0},
    {-1, 0, 4, 0, 2, 1, 0, 0, 0},
    {1, -1, 0, -2, 0, 1, 0, 0, 0},
    {2, 0, 2, -2, 1, 1, 0, -1, 0},
    {2, 0, 2, 2, 2, -1, 0, 0, 0},
    {1, 0, 0, 2, 1, -1, 0, 0, 0},
    {0, 0, 4, -2, 2, 1, 0, 0, 0},
    {3, 0, 2, -2, 2, 1, 0, 0, 0},
    {1, 0, 2, -2, 0, -1, 0, 0, 0},
    {0, 1, 2, 0, 1, 1, 0, 0, 0},
    {-1, -1, 0, 2, 1, 1, 0, 0, 0},
    {0, 0, -2, 0, 1, -1, 0, 0, 0},
    {0, 0, 2, -1, 2, -1, 0, 0, 0},
    {0, 1, 0, 2, 0, -1, 0, 0, 0},
    {1, 0, -2, -2, 0, -1, 0, 0, 0},
    {0, -1, 2, 0, 1, -1, 0, 0, 0},
    {1, 1, 0, -2, 1, -1, 0, 0, 0},
    {1, 0, -2, 2, 0, -1, 0, 0, 0},
    {2, 0, 0, 2, 0, 1, 0, 0, 0},
    {0, 0, 2, 4, 2, -1, 0, 0, 0},
    {0, 1, 0, 1, 0, 1, 0, 0, 0},
};
static_assert(std::size(kTerms) == 105, "the 1980 series has 106 terms, one of them fixed");

// A fundamental argument in seconds of arc, reduced to one turn, in radians.
double ReducedArgument(double arcsec) {
  double a = std::fmod(arcsec, 1296000.0);
  if (a < 0) a += 1296000.0;
  return a * kArcsecToRad;
}

// Sines and cosines of k * angle for k = 1..n, by the angle-addition recurrence.
template <int N>
struct Multiples {
  double s[N + 1];
  double c[N + 1];
  explicit Multiples(double angle) {
    s[0] = 0;
    c[0] = 1;
    s[1] = std::sin(angle);
    c[1] = std::cos(angle);
    for (int k = 2; k <= N; ++k) {
      s[k] = s[k - 1] * c[1] + c[k - 1] * s[1];
      c[k] = c[k - 1] * c[1] - s[k - 1] * s[1];
    }
  }
  // Adds K * angle to the running argument (sin, cos); K is known when compiling, so a
  // term's code holds only its own multiples, without a test.
  template <int K>
  void AddTo(double& sv, double& cv) const {
    if constexpr (K != 0) {
      constexpr int k = K > 0 ? K : -K;
      const double sk = K > 0 ? s[k] : -s[k];
      const double ck = c[k];
      const double ns = sv * ck + cv * sk;
      cv = cv * ck - sv * sk;
      sv = ns;
    }
  }
};

// The multiples of the five fundamental arguments.
struct Arguments {
  Multiples<3> l;
  Multiples<2> lp;
  Multiples<4> f;
  Multiples<4> d;
  Multiples<2> om;
};

// Term I of the series into the sums.
template <size_t I>
void AddTerm(const Arguments& a, double t, double& dpsi, double& deps) {
  constexpr NutationTerm r = kTerms[I];
  double sv = 0, cv = 1;
  a.l.AddTo<r.l>(sv, cv);
  a.lp.AddTo<r.lp>(sv, cv);
  a.f.AddTo<r.f>(sv, cv);
  a.d.AddTo<r.d>(sv, cv);
  a.om.AddTo<r.om>(sv, cv);
  dpsi += (r.dpsi * 0.0001 + r.dpsi_t * 0.00001 * t) * sv;
  deps += (r.deps * 0.0001 + r.deps_t * 0.00001 * t) * cv;
}

// All terms, small ones first: one straight run of code, no loop and no branches.
template <size_t... I>
void AddTermsLastFirst(const Arguments& a, double t, double& dpsi, double& deps,
                       std::index_sequence<I...>) {
  (AddTerm<sizeof...(I) - 1 - I>(a, t, dpsi, deps), ...);
}

}  // namespace

NutationAngles Nutation(double jd_et) {
  const double t = (jd_et - kJ2000) / kDaysPerCentury;
  const double t2 = t * t;
  const Arguments a{
      Multiples<3>(ReducedArgument(485866.733 + 1717915922.633 * t + (31.31 + 0.064 * t) * t2)),
      Multiples<2>(ReducedArgument(1287099.804 + 129596581.224 * t - (0.577 + 0.012 * t) * t2)),
      Multiples<4>(ReducedArgument(335778.877 + 1739527263.137 * t + (-13.257 + 0.011 * t) * t2)),
      Multiples<4>(ReducedArgument(1072261.307 + 1602961601.328 * t + (-6.891 + 0.019 * t) * t2)),
      Multiples<2>(ReducedArgument(450160.28 - 6962890.539 * t + (7.455 + 0.008 * t) * t2))};

  // Small terms first, the 18.6-year term last.
  double dpsi = 0, deps = 0;
  AddTermsLastFirst(a, t, dpsi, deps, std::make_index_sequence<std::size(kTerms)>());
  dpsi += (-17.1996 - 0.01742 * t) * a.om.s[1];
  deps += (9.2025 + 0.00089 * t) * a.om.c[1];
  return NutationAngles{dpsi * kArcsecToRad, deps * kArcsecToRad};
}

NutationRecord MakeNutationRecord(double jd_et, double mean_eps_rad) {
  const NutationAngles n = Nutation(jd_et);
  NutationRecord r;
  r.jd = jd_et;
  r.dpsi_rad = n.dpsi_rad;
  r.deps_rad = n.deps_rad;
  r.sin_deps = std::sin(n.deps_rad);
  r.cos_deps = std::cos(n.deps_rad);
  const double sp = std::sin(n.dpsi_rad), cp = std::cos(n.dpsi_rad);
  const double se = std::sin(mean_eps_rad), ce = std::cos(mean_eps_rad);
  const double true_eps = mean_eps_rad + n.deps_rad;
  const double st = std::sin(true_eps), ct = std::cos(true_eps);
  r.matrix[0][0] = cp;
  r.matrix[0][1] = sp * ct;
  r.matrix[0][2] = sp * st;
  r.matrix[1][0] = -sp * ce;
  r.matrix[1][1] = ce * cp * ct + se * st;
  r.matrix[1][2] = ce * cp * st - se * ct;
  r.matrix[2][0] = -sp * se;
  r.matrix[2][1] = se * cp * ct - ce * st;
  r.matrix[2][2] = se * cp * st + ce * ct;
  return r;
}

void ApplyNutationMatrix(const double (&m)[3][3], const double* in, double* out) {
  const double x = in[0], y = in[1], z = in[2];
  for (int i = 0; i < 3; ++i) out[i] = x * m[0][i] + y * m[1][i] + z * m[2][i];
}

}  // namespace kv
