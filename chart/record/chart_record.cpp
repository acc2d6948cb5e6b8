#include "chart/record/chart_record.h"

#include <cmath>

#include "chart/record/chart_rules.h"
#include "common/codepage.h"

namespace kv {

ChartRecord DefaultChartRecord() {
  ChartRecord rec;
  std::memset(&rec, 0, sizeof rec);
  rec.jd_local = rec.jd_ut = rec.jd_calc = 2451545.0;
  rec.kind = kNatalChart;
  rec.house_system = kHousePlacidus;
  rec.lunar_day = -1;
  return rec;
}

ChartRecord ChartRecordOf(const BirthData& b) {
  ChartRecord rec = DefaultChartRecord();
  rec.jd_local = b.jd_local;
  rec.jd_ut = b.jd_ut;
  rec.jd_calc = b.jd_calc;
  rec.correction_h = b.correction_h;
  rec.lon_packed = b.lon_packed;
  rec.lat_packed = b.lat_packed;
  std::memcpy(rec.name, b.name, sizeof rec.name);
  std::memcpy(rec.place, b.place, sizeof rec.place);
  rec.sex = b.sex;
  rec.house_system = b.house_system;
  return rec;
}

BirthData BirthDataOf(const ChartRecord& rec) {
  BirthData b;
  b.jd_local = rec.jd_local;
  b.jd_ut = rec.jd_ut;
  b.jd_calc = rec.jd_calc;
  b.correction_h = rec.correction_h;
  b.lon_packed = rec.lon_packed;
  b.lat_packed = rec.lat_packed;
  std::memcpy(b.name, rec.name, sizeof b.name);
  std::memcpy(b.place, rec.place, sizeof b.place);
  b.sex = rec.sex;
  b.house_system = rec.house_system;
  return b;
}

int SignOf(double lon_deg) {
  int s = static_cast<int>(lon_deg / 30.0) + 1;
  if (s < 1) s = 1;
  if (s > 12) s = 12;
  return s;
}

SignPosition SignPositionOf(double lon_deg) {
  double lon = lon_deg + 1.0 / 120.0;
  if (lon > 360.0) lon -= 360.0;
  SignPosition p;
  p.sign = static_cast<int>(lon / 30.0) + 1;
  // 360 itself (a longitude of 359 deg 59.5 min and more) is the start of Aries.
  if (p.sign > 12) {
    p.sign = 1;
    lon -= 360.0;
  }
  if (p.sign < 1) p.sign = 1;
  const double in_sign = lon - 30.0 * (p.sign - 1);
  p.degrees = static_cast<int>(in_sign);
  p.minutes = static_cast<int>(60.0 * (in_sign - p.degrees));
  if (p.minutes > 59) p.minutes = 59;
  return p;
}

DegreesMinutes RoundToMinutes(double angle_deg) {
  const long long total = std::llround(std::fabs(angle_deg) * 60.0);
  return {static_cast<int>(total / 60), static_cast<int>(total % 60)};
}

int HouseOf(const ChartRecord& rec, double x) {
  for (int k = 1; k <= 12; ++k) {
    double lo = rec.lon[16 + k];
    double hi = rec.lon[k == 12 ? 17 : 17 + k];
    if (hi < lo) {  // the sector passes 0 degrees
      if (x > 180.0) hi += 360.0;
      else lo -= 360.0;
    }
    if (x >= lo && x < hi) return k;
  }
  return 0;
}

bool HasHouses(const ChartRecord& rec) { return rec.house_system != kNoHousesSystem; }

uint32_t MissingBodyMask(const ChartRecord& rec) {
  return static_cast<uint16_t>(rec.missing_bodies);
}

bool PointComputed(const ChartRecord& rec, int point) {
  const uint32_t missing = MissingBodyMask(rec);
  auto has = [missing](int body) { return ((missing >> (body - 1)) & 1u) == 0; };
  if (point >= 1 && point <= kBodyCount) return has(point);
  // Two systems count their houses from the Sun.
  if (point >= kFirstCusp && point <= kVertexSlot)
    return has(kBodySun) || (rec.house_system != kHousesFromSun && rec.house_system != kHousesFromSunSign);
  if (point == kFortuneSlot) return has(kBodySun) && has(kBodyMoon);
  if (point == kSecondLotSlot) return has(kBodyMars) && has(kBodySaturn);
  return false;
}

ChartSummary SummarizeChart(const ChartRecord& rec) {
  ChartSummary s;
  for (int b = 1; b <= kBodyCount; ++b) {
    if (!PointComputed(rec, b)) continue;
    s.body_sign[b] = SignOf(rec.lon[b]);
    if (PointComputed(rec, kFirstCusp)) s.body_house[b] = HouseOf(rec, rec.lon[b]);
  }
  for (int h = 1; h <= 12; ++h)
    if (PointComputed(rec, 16 + h)) s.cusp_sign[h] = SignOf(rec.lon[16 + h]);
  return s;
}

int WeekdayIndex(double jd) {
  long long n = static_cast<long long>(std::floor(jd + 1.5));
  return static_cast<int>(((n % 7) + 7) % 7);
}

const char* WeekdayName(double jd) {
  static const std::array<std::string, 7> names = {W("Вс"), W("Пн"), W("Вт"), W("Ср"),
                                                   W("Чт"), W("Пт"), W("Сб")};
  return names[WeekdayIndex(jd)].c_str();
}

}  // namespace kv
