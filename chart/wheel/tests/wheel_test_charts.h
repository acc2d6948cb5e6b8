// Hand-made chart records for the wheel tests.
#pragma once

#include "chart/record/chart_record.h"

namespace kv::test {

// Bodies spread 20 degrees apart from 5 degrees on, cusps every 30 degrees from
// `first_cusp`, all motions direct, Placidus houses.
inline ChartRecord SpreadChart(double first_cusp = 10.0) {
  ChartRecord rec = DefaultChartRecord();
  for (int i = 1; i <= kBodyCount; ++i) {
    rec.lon[i] = 5.0 + 20.0 * (i - 1);
    rec.speed[i] = 1.0;
  }
  for (int k = 0; k < 12; ++k) {
    double c = first_cusp + 30.0 * k;
    rec.lon[kFirstCusp + k] = c >= 360.0 ? c - 360.0 : c;
  }
  rec.house_system = 3;
  SetChartText(rec.name, "Test");
  return rec;
}

}  // namespace kv::test
