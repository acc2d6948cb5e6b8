// Records of the towns database "towns" (".btz", ".bbb", ".bnz"), opened read-only.
// Texts are stored in code page 866; the read script of "shembd.ctl" gives them in
// 1251, as every function here takes and returns them.
//
// Town records, key "t." and the GeoNames id:
//   2 zone code (the "PopTime" line)     9  inhabitants
//   4 fixed offset east, hours           10 IANA zone id
//   5 latitude, 6 longitude (packed      11 summer-time section of "popa.ctl"
//     degrees.minutes, west negative)    12, 13 further parts of the name (region)
//   7 name, 8 country and region         14 country, as field 3 of its record
// Country records, key "S." and the ISO code: 3 Russian name, 4 English name.
#pragma once

#include <string>
#include <string_view>

#include "db/records/record_block.h"

namespace kv::towns {

inline constexpr const char* kTownsDatabase = "towns";
inline constexpr const char* kTownPrefix = "t.";
inline constexpr const char* kCountryPrefix = "S.";

inline constexpr int kFieldZoneCode = 2;
inline constexpr int kFieldFixedOffset = 4;
inline constexpr int kFieldLatitude = 5;
inline constexpr int kFieldLongitude = 6;
inline constexpr int kFieldTownName = 7;
inline constexpr int kFieldCountryRegion = 8;
inline constexpr int kFieldPopulation = 9;
inline constexpr int kFieldZoneId = 10;
inline constexpr int kFieldSummerRule = 11;
inline constexpr int kFieldNamePart2 = 12;
inline constexpr int kFieldNamePart3 = 13;
inline constexpr int kFieldCountry = 14;

inline constexpr int kFieldCountryName = 3;
inline constexpr int kFieldCountryOtherName = 4;

// Longest name part the chosen town text takes from field 7.
inline constexpr size_t kMaxChosenName = 40;

// The chooser's list line: "%-25.25s %-25.25s %8s %8s  %4.4s  %-4.4s" with the name,
// country and region, latitude, longitude, the zone code ("-" when absent or when it
// begins with the byte 0xFF) and the fixed offset ("-" when absent).
std::string TownListLine(const db::FieldArray& town);

// The country chooser's line: field 3, then " (%s)" with field 4 when present.
std::string CountryListLine(const db::FieldArray& country);

// The place a chosen town puts into a dialog: field 7 (at most 40 characters), then
// "," and field 12, then "," and field 13, each when present.
std::string ChosenTownText(const db::FieldArray& town);

// A packed longitude west of Greenwich as the same meridian counted east:
// -74.00 becomes 286.00. East longitudes are returned unchanged.
double EastLongitude(double lon_packed);
// Field 6 read as a number, made east, written "%.2f".
std::string LongitudeFieldText(const db::FieldArray& town);

// The town's region: field 12, else what field 8 holds after the country name.
std::string TownRegion(const db::FieldArray& town);

}  // namespace kv::towns
