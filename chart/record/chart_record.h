// The chart record: one person's birth moment and place and everything computed from
// them. Its layout is fixed byte for byte (little-endian, packed, 839 bytes) because
// the program copies it whole between the start-up record, the working record and
// every chart window.
//
// Body numbering used everywhere (ChartBody below): 1 Sun, 2 Moon, 3 Mercury .. 10
// Pluto, 11 north node, 12 Selena, 13 Chiron, 14 Proserpina, 15 Lilith, 16 south node;
// points 17..28 are the cusps of houses 1..12 (17 the Ascendant). Masks use bit n-1
// for point n.
//
// The record is packed, so its doubles are not aligned: read and write members by
// value (rec.lon[i] = x); never keep a pointer or reference into it. Use
// CopyLongitudes() where a plain array is wanted.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "astro/houses/house_systems.h"  // house-system numbers
#include "common/settings.h"              // BirthData

namespace kv {

// The chart's bodies, by their slots in the record.
enum ChartBody : int {
  kBodySun = 1,
  kBodyMoon = 2,
  kBodyMercury = 3,
  kBodyVenus = 4,
  kBodyMars = 5,
  kBodyJupiter = 6,
  kBodySaturn = 7,
  kBodyUranus = 8,
  kBodyNeptune = 9,
  kBodyPluto = 10,
  kBodyNorthNode = 11,
  kBodySelena = 12,       // by formula
  kBodyChiron = 13,
  kBodyProserpina = 14,   // by formula
  kBodyLilith = 15,       // the lunar apogee
  kBodySouthNode = 16,    // opposite the north node
};

inline constexpr int kBodyCount = 16;
inline constexpr int kFirstCusp = 17;         // slot of the cusp of house 1
inline constexpr int kPointCount = 28;        // bodies and cusps
inline constexpr int kVertexSlot = 29;
inline constexpr int kFortuneSlot = 30;
inline constexpr int kSecondLotSlot = 31;
inline constexpr int kNameChars = 29;         // names and places, without terminator
inline constexpr int16_t kNatalChart = 1;
// Birth time unknown: no houses shown (equal houses from 0 Aries are computed).
inline constexpr int16_t kNoHousesSystem = kHouseEqualAries;
inline constexpr int16_t kHousesFromSun = kHouseEqualSun;          // equal houses from the Sun
inline constexpr int16_t kHousesFromSunSign = kHouseEqualSunSign;  // whole signs from its sign

#pragma pack(push, 1)
struct ChartRecord {
  double jd_local;       // local date and time taken as if it were universal time
  double jd_ut;          // jd_local + correction / 24
  double jd_calc;        // universal time of the calculation; = jd_ut for natal charts
  double correction_h;   // hours added to local time to get universal time
  double lon_packed;     // geographic longitude, degrees.minutes, east positive
  double lat_packed;     // geographic latitude, degrees.minutes, north positive
  char name[30];
  char place[30];
  int16_t kind;          // 1 natal
  uint8_t reserved_kind[110];
  char text2[30];        // stored as card field 9
  char base_name[30];    // start-up record's name at calculation time
  int16_t house_system;
  int16_t missing_bodies; // bit n-1: body n has no position (its ephemeris file was
                          // missing and the user went on); 0 in a complete chart
  int16_t lunar_day;     // negative: not computed
  uint8_t sex;           // 0 male, 1 female
  double base_jd_local;
  double base_jd_ut;
  double reserved2;
  double lon[32];        // degrees [0,360): 1..16 bodies, 17..28 cusps, 29 Vertex, 30..31 lots
  double lat[17];        // ecliptic latitudes of bodies 1..16, degrees
  double speed[17];      // daily motion in longitude of bodies 1..16, degrees/day
};
#pragma pack(pop)

static_assert(sizeof(ChartRecord) == 839, "chart record layout is fixed");
static_assert(offsetof(ChartRecord, lon) == 311, "longitudes follow the 311-byte header");

// The start-up defaults: JD 2451545.0, everything else zero or empty.
ChartRecord DefaultChartRecord();

// Copies a text into a fixed field, cut at 29 characters and NUL-terminated.
inline void SetChartText(char (&field)[30], const char* text) { SetBirthText(field, text); }

// The start-up record made from the birth data of the settings: the defaults with the
// moment, place, name, sex and house system put in.
ChartRecord ChartRecordOf(const BirthData& birth);
// The birth data of a record, as the settings file keeps them.
BirthData BirthDataOf(const ChartRecord& rec);

inline std::array<double, 32> CopyLongitudes(const ChartRecord& rec) {
  std::array<double, 32> out;
  std::memcpy(out.data(), reinterpret_cast<const char*>(&rec) + offsetof(ChartRecord, lon),
              sizeof(out));
  return out;
}

}  // namespace kv
