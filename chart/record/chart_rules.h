// Small rules applied to chart records everywhere: sign and house of a longitude,
// the chart summary and the weekday shown with a date.
#pragma once

#include <array>

#include "chart/record/chart_record.h"

namespace kv {

// Sign 1 (Aries) .. 12 (Pisces) of a longitude in [0, 360).
int SignOf(double lon_deg);

// Sign, whole degrees and minutes of a longitude as every table shows it (the chart
// window's panel, the printed page, the command line): rounded to the nearest minute
// with the carry, so 29 deg 59.8 min of a sign reads as 0 deg 00 min of the next one
// and 359 deg 59.5 min as Aries 0 deg 00 min.
struct SignPosition {
  int sign = 1;     // 1..12
  int degrees = 0;  // 0..29
  int minutes = 0;  // 0..59
  bool operator==(const SignPosition&) const = default;
};
SignPosition SignPositionOf(double lon_deg);

// A non-negative angle (an orb) in whole degrees and minutes, rounded to the minute.
struct DegreesMinutes {
  int degrees = 0;
  int minutes = 0;  // 0..59
  bool operator==(const DegreesMinutes&) const = default;
};
DegreesMinutes RoundToMinutes(double angle_deg);

// House 1..12 holding lon_deg with the record's cusps (slots 17..28); 0 when none does.
// A longitude on a cusp belongs to the house that begins there.
int HouseOf(const ChartRecord& rec, double lon_deg);

// True when the record's houses are meant to be shown (not house system 8).
bool HasHouses(const ChartRecord& rec);

// Bodies 1..16 without a position, bit n-1 for body n (the record's missing_bodies).
uint32_t MissingBodyMask(const ChartRecord& rec);

// Whether point 1..31 of the record has a position: a body unless it is marked
// missing; a cusp or the Vertex unless its house system needs the missing Sun; a lot
// unless one of its bodies is missing (Fortune: Sun, Moon; the second: Mars, Saturn).
bool PointComputed(const ChartRecord& rec, int point);

// Signs and houses are 0 for points without a position.
struct ChartSummary {
  std::array<int, 17> body_sign{};   // 1..16
  std::array<int, 17> body_house{};  // 1..16, 0 when no house holds the body
  std::array<int, 13> cusp_sign{};   // 1..12
};
ChartSummary SummarizeChart(const ChartRecord& rec);

// 0 Sunday .. 6 Saturday for a Julian day, and its short Russian name (1251 text).
int WeekdayIndex(double jd);
const char* WeekdayName(double jd);

}  // namespace kv
