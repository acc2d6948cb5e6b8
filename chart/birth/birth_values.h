// The values of the birth-data dialog on their way between the working chart record
// and the dialog's edits. Plain data, so the record rules are tested without a window.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "chart/record/chart_record.h"

namespace kv {

struct BirthValues {
  std::string name;           // 1251, at most 29 characters
  int day = 1, month = 1, year = 2000;
  int hour = 0, minute = 0, second = 0;
  double correction_h = 0;    // hours added to local time to get universal time
  std::string place;          // 1251, at most 29 characters
  double lat_packed = 0;      // degrees.minutes
  double lon_packed = 0;
  int sex = 0;                // 0 male, 1 female
  bool exact_time = false;    // option byte 39
};

// What the dialog opens with: the record's name, place, coordinates, correction and
// sex, its local Julian day split into the six numbers, and the exact-time box.
BirthValues BirthValuesFromRecord(const ChartRecord& rec, bool exact_time);

// Writes the values back: name and place (cut at 29), the local Julian day from the
// six numbers, universal-time and calculation days = local + correction / 24, the
// coordinates, the sex; the house system is the current one with an exact time and
// house system 8 without; option byte 39 keeps the box.
void ApplyBirthValues(const BirthValues& v, int16_t current_house_system, ChartRecord& rec,
                      std::array<uint8_t, 80>& option_bytes);

}  // namespace kv
