// Calculation of a chart from its birth moment and place: the sixteen bodies, the
// houses, the Vertex, the lots and the lunar day, written into the chart record.
#pragma once

#include "astro/houses/house_systems.h"
#include "astro/lunar/lunar_day.h"
#include "chart/record/chart_record.h"
#include "common/settings.h"

namespace kv {

// The settings the calculation reads (option bytes 0, 1 and 2 of the program).
struct ChartOptions {
  bool true_node = false;     // body 11 is the true node, else the mean node
  bool osc_apogee = false;    // body 15 is the osculating apogee, else the mean apogee
  bool heliocentric = false;  // planets and minor bodies seen from the Sun
};
// The options of option bytes 0, 1 and 2 of the settings.
ChartOptions ChartOptionsFrom(const Settings& settings);

enum class BodyState {
  kComputed,
  kNoData,   // no ephemeris file for the date; the user chose to go on without it
  kDamaged,  // a damaged ephemeris file; Engine().failure names it
};

// The position of one body of the chart numbering.
struct BodyPosition {
  double lon_deg = 0;      // [0, 360)
  double lat_deg = 0;
  double speed_deg = 0;    // daily motion in longitude; negative is retrograde
  BodyState state = BodyState::kComputed;
};

// One chart body at a moment, as the chart shows it.
//   jd_ut    calculation Julian day, Universal Time (DeltaT is added here)
//   body     1..15 of the chart numbering; 12 Selena and 14 Proserpina by formula
//   with_speed  false asks for longitude and latitude only (the lunar-day search)
// A body the engine cannot compute gives zeros and its state; other numbers give zeros.
BodyPosition CalcOneBody(double jd_ut, int body, const ChartOptions& options,
                         bool with_speed = true);

// Selena and Proserpina from the decimal year of a UT moment: points of the
// astrological tradition the program serves, not bodies of the ephemeris, each a
// uniform motion from a fixed epoch. Selena moves (360 degrees + 1') in 7 years
// (51.430952381 degrees a year) from 139.16666667 degrees at 1900.0; Proserpina moves
// 0.4918032787 degrees a year (30 degrees in 61 years) to 1918, 0.4617524046 to
// 1983 and 0.4918032787 after, through 180 degrees at 1918.1396304 and 210 degrees
// at 1983.109514. These are the conventional values of that tradition as the
// program has always used them; no astronomical source is claimed for them.
BodyPosition SelenaPosition(double jd_ut);
BodyPosition ProserpinaPosition(double jd_ut);

// The chart's points for the lunar-day search, with the chart's options but always
// geocentric (the lunar day is the same in a heliocentric chart).
ChartPointFn ChartPoints(const ChartOptions& options);

// The birth moment of a chart entered in local time: the local Julian day as if it
// were UT, the universal-time and calculation days = local + correction / 24.
void SetBirthMoment(ChartRecord& rec, double jd_local, double correction_h);

// Calculate chart, natal kind.
//   rec      moment, place, house system and the lunar-day field filled in; the
//            positions, cusps, lots and lunar day are written back. A negative
//            lunar-day field asks for no lunar day.
//   base     the start-up record: its Julian days and name go to the base fields;
//            nullptr leaves them as they are
//   kind     chart kind (the program uses 1, natal)
// A body whose file is missing (the user went on without it) is marked in the
// record's missing_bodies (body 16 with body 11) and keeps zeros. The lunar day is
// searched without asking for missing files; when the files do not cover the search
// (the first and last weeks of the span) the field becomes 0: not available.
// Returns 0; -1 when the date is outside the ephemeris span ("DEp" warning shown,
// nothing computed); kChartDamagedEphemeris when a damaged ephemeris file stops the
// calculation (warning "KrEph" naming the body and the file; the positions are
// unusable). Warnings ("virhous", "DEp", "KrEph") go through the message layer.
inline constexpr int kChartDamagedEphemeris = -2;
int CalculateChart(ChartRecord& rec, const ChartRecord* base, int kind,
                   const ChartOptions& options);

}  // namespace kv
