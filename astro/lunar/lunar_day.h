// The lunar day of a moment and place, on the ephemeris.
//
// The positions are the chart's own points (Sun = point 1, Moon = point 2), given by a
// ChartPointFn so that the lunar day sees exactly what the chart pipeline computes
// (its node and heliocentric settings included). Only longitude and latitude are
// asked for: the search never needs the daily motions.
#pragma once

#include <functional>

#include "astro/lunar/lunar_day_search.h"

namespace kv {

// Ecliptic longitude and latitude (degrees) of chart point `point` at jd_ut; false
// (and zeros) when the point has no position then: no file for the date, or damage.
using ChartPointFn = std::function<bool(double jd_ut, int point, double* lon_deg,
                                        double* lat_deg)>;

// Chart points 1..10 (Sun to Pluto) straight from CalcBody, geocentric, at ephemeris
// time jd_ut + DeltaT, positions only. Other points give 0 (and true).
ChartPointFn GeocentricChartPoints();

// The Moon's longitude minus the Sun's, degrees [0, 360).
//   jd_ut   Julian day, Universal Time
double Elongation(double jd_ut, const ChartPointFn& points);

// First new moon after t0 (Universal Time); step and tolerance in days.
double FindNewMoon(double t0, double step, double tol, const ChartPointFn& points);

// Signed altitude (degrees) whose zero marks the rising or setting of a chart point,
// with the refraction and semi-diameter allowance of the point (Sun -0.8333, Moon
// 0.1333, others -0.5667), its sign reversed on the lower half of the sky.
//   t        Julian day, Universal Time
//   point    chart point number (1 Sun, 2 Moon, ...)
//   lon_deg  geographic longitude, degrees, east positive
//   phi_rad  geographic latitude, radians
double AltitudeFunction(double t, int point, double lon_deg, double phi_rad,
                        const ChartPointFn& points);

// Number of the lunar day that holds jd; 0 when none of the built days does, or when
// a position the search needs is not available (the search stops at the first one).
//   jd        Julian day, Universal Time
//   offset    the chart's correction / 24, days
//   phi_rad   geographic latitude, radians; lon_deg longitude, degrees east
int LunarDayNumber(double jd, double offset, double phi_rad, double lon_deg,
                   const ChartPointFn& points);

}  // namespace kv
