// Aspects between the 28 points of a chart (bodies 1..16, cusps 17..28).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "aspects/aspect_record.h"
#include "common/settings.h"  // kDefaultBodyMask

namespace kv {

inline constexpr float kNoAspect = 999.0f;

// 28 x 28 single-precision entries, row r and column c standing for points r+1, c+1.
// Above the diagonal: the angle of the aspect found, or 999.0 for none (0 is a
// conjunction found). On and below it: the separation in degrees, 0..180.
struct AspectMatrix {
  float cell[kOrbPoints][kOrbPoints];

  // For points a != b, in either order.
  float Aspect(int a, int b) const { return a < b ? cell[a - 1][b - 1] : cell[b - 1][a - 1]; }
  float Separation(int a, int b) const {
    return a < b ? cell[b - 1][a - 1] : cell[a - 1][b - 1];
  }
};

// Angular distance of two longitudes in degrees, 0..180, in double precision.
double Separation(double x_deg, double y_deg);

// Fills the whole matrix from the table (records in table order, the first whose
// orb covers the deviation wins).
//   lon_deg  longitudes in degrees indexed by point number: lon_deg[1..28] are read,
//            lon_deg[0] is not (the chart record's array fits as it is)
//   table    aspects in use (switched-off records already dropped)
// Returns false, leaving every pair without aspect, when lon_deg holds fewer than 29
// entries.
bool FindAspects(std::span<const double> lon_deg, const AspectTable& table,
                 AspectMatrix& matrix);

// The same with the block named by the setting "ORBFILE" (such as "0.ao"); a block
// without a text file falls back to "0.ao", and without that no aspect is found.
bool FindAspectsWithBlock(std::span<const double> lon_deg, std::string_view orb_file,
                          AspectMatrix& matrix);

// Takes points without a position out of every aspect: the pairs holding a point whose
// bit (n-1 for point n) is set in `points` get kNoAspect.
void DropPoints(AspectMatrix& matrix, uint32_t points);

// One aspect as the chart shows it.
struct FoundAspect {
  int a = 0, b = 0;        // points, a < b
  float angle = 0;         // aspect angle from the block
  float separation = 0;    // actual distance in degrees
};

struct AspectListOptions {
  uint32_t planet_mask = kDefaultBodyMask;    // "MaskP": bit n-1 for body n shown
  uint32_t aspected_mask = kDefaultBodyMask;  // "MaskA": bit n-1 for point n taking part
  bool with_cusps = false;        // option byte 13 set and the chart has houses
  bool with_conjunctions = true;  // the text lists them; the wheel draws no line for them
};

// The aspects of the matrix between active and aspected points, in the order the
// wheel draws them: pairs a < b, by a, then by b. Points 1..16, or 1..28 with cusps.
// A point is taken when its bit is set in the aspected mask and, for a body, also in
// the planet mask.
std::vector<FoundAspect> ListAspects(const AspectMatrix& matrix, const AspectListOptions& opt);

// Finder and list in one call, for the chart report.
std::vector<FoundAspect> ChartAspects(std::span<const double> lon_deg,
                                      std::string_view orb_file,
                                      const AspectListOptions& opt);

// [[a, b, angle, separation], ...] with the shortest decimals that read back as the
// same floats.
std::string AspectsJson(const std::vector<FoundAspect>& aspects);

}  // namespace kv
