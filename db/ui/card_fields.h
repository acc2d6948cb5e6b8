// Person cards between their fields and the dialogs: the catalogue line, the name
// search, the card dialog's edits (its transfer buffer) and the card of a chart.
// Texts are code page 1251. No Qt here.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "db/records/record_block.h"

namespace kv::cards {

// Fields of a person card.
enum CardField : int {
  kFieldKey = 1,
  kFieldName = 2,
  kFieldDate = 3,       // "%02d.%02d.%04d"
  kFieldTime = 4,       // "%02d:%02d:%02d"
  kFieldLatitude = 5,
  kFieldLongitude = 6,
  kFieldTown = 7,
  kFieldCorrection = 8,
  kFieldText2 = 9,
  kFieldSex = 16,       // "%d": 0 male, 1 female
};

// "%s  %s %s %s" of fields 2, 3, 4 and 7.
std::string CatalogueLine(const db::FieldArray& card);

// Upper case of the letters a-z and а-я, "ё" and "Ё" as "Е": what the name search
// compares.
std::string FoldForSearch(std::string_view text);
bool BeginsWithFolded(std::string_view folded_text, std::string_view folded_prefix);

// The card dialog's edits in the order of its controls.
struct CardEdits {
  std::string town;        // 29 characters
  std::string latitude;    // 9
  std::string longitude;   // 9
  std::string name;        // 29
  std::array<std::string, 6> moment;  // day, month, year, hours, minutes, seconds
  std::string correction;  // 9
  int sex = 0;             // index of the checked button: 0 "Муж", 1 "Жен"
};

// The edits of a card: absent fields 2 to 9 read as one blank, the date and time
// split into six "%02d" numbers (missing date parts 1, time parts 0), field 16 equal
// to 1 checks "Жен", anything else "Муж".
CardEdits EditsFromCard(const db::FieldArray& card);

// Why edits cannot become a card: the text-resource key of the message and which
// edit (0 town, 1 latitude, 2 longitude, 3 name, 4..9 day..seconds, 10 correction).
struct CardRefusal {
  const char* key = nullptr;
  int edit = 0;
};
inline constexpr int kEditTown = 0, kEditLatitude = 1, kEditLongitude = 2, kEditName = 3,
                     kEditDay = 4, kEditCorrection = 10;

// True when the edits hold a real moment and place: a day the calendar has, a clock
// time, and, when not blank, a correction of -14..14 hours and packed coordinates with
// minutes below 60 (latitude -90.00..90.00, longitude -180.00..359.59). Blank
// coordinates and correction are allowed: a card may be completed later. Dates
// outside the ephemeris range are good cards.
bool CheckCardEdits(const CardEdits& edits, CardRefusal* refusal);

// Writes the edits into the card: 3 and 4 from the six numbers, 2 name, 8 correction,
// 7 town, 5 latitude, 6 longitude (the three numbers as typed, without the blanks
// around them), 16 sex. A stored field whose edit the user left as EditsFromCard
// showed it keeps its text whole; other fields stay as they were.
void ApplyEditsToCard(const CardEdits& edits, db::FieldArray& card);

// A computed chart as a new card: 2 name, 3 and 4 date and time of the local Julian
// day, 5 latitude and 6 longitude with two decimals, 7 place, 8 correction (two
// decimals, three when the third is not 0), 9 the second text, 16 the sex.
struct ChartCard {
  std::string name;
  double jd_local = 0;
  double lat_packed = 0;
  double lon_packed = 0;
  double correction_h = 0;
  std::string place;
  std::string text2;
  int sex = 0;
};
db::FieldArray CardFromChart(const ChartCard& chart);

}  // namespace kv::cards
