#include "db/ui/card_fields.h"

#include <cmath>

#include "common/birth_checks.h"
#include "common/calendar.h"
#include "common/case_map.h"
#include "common/numbers.h"
#include "common/tokens.h"

namespace kv::cards {
namespace {

constexpr size_t kNameChars = 29;
constexpr size_t kNumberChars = 9;

// 1251 letters "Ё", "ё" and "Е".
constexpr char kYoUpper = '\xA8';
constexpr char kYoLower = '\xB8';
constexpr char kYeUpper = '\xC5';

bool Blank(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

// Field n, or one blank for an absent one, as the dialogs show it.
std::string Shown(const db::FieldArray& card, int n) {
  return card[n].empty() ? std::string(" ") : card[n];
}

std::string Cut(std::string_view text, size_t n) { return std::string(text.substr(0, n)); }

std::string Two(int n) { return FormatInteger(n, 2, true); }

// A number as typed, without the blanks around it (the place block writes " 55.45").
std::string Number(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return Cut(TrimRight(text.substr(first)), kNumberChars);
}

}  // namespace

std::string CatalogueLine(const db::FieldArray& card) {
  return card[kFieldName] + "  " + card[kFieldDate] + " " + card[kFieldTime] + " " +
         card[kFieldTown];
}

std::string FoldForSearch(std::string_view text) {
  std::string out(text);
  UpperAnsi(out);
  for (char& c : out)
    if (c == kYoUpper || c == kYoLower) c = kYeUpper;
  return out;
}

bool BeginsWithFolded(std::string_view folded_text, std::string_view folded_prefix) {
  return folded_text.substr(0, folded_prefix.size()) == folded_prefix;
}

CardEdits EditsFromCard(const db::FieldArray& card) {
  CardEdits e;
  e.town = Cut(Shown(card, kFieldTown), kNameChars);
  e.latitude = Cut(Shown(card, kFieldLatitude), kNumberChars);
  e.longitude = Cut(Shown(card, kFieldLongitude), kNumberChars);
  e.name = Cut(Shown(card, kFieldName), kNameChars);
  // An absent date has all its parts missing: 01.01.0001 00:00:00.
  const DateTimeRecord d = ParseDateTimeFields(card[kFieldDate], card[kFieldTime]);
  const int n[6] = {d.day, d.month, d.year, d.hour, d.minute, d.second};
  for (int i = 0; i < 6; ++i) e.moment[i] = Two(n[i]);
  e.correction = Cut(Shown(card, kFieldCorrection), kNumberChars);
  e.sex = LeadingInteger(card[kFieldSex]) == 1 ? 1 : 0;
  return e;
}

bool CheckCardEdits(const CardEdits& e, CardRefusal* refusal) {
  auto refuse = [refusal](const char* key, int edit) {
    if (refusal) *refusal = {key, edit};
    return false;
  };
  const Checked<BirthDate> date = CheckDateFields(e.moment[0], e.moment[1], e.moment[2]);
  if (!date.ok()) return refuse(date.error, kEditDay + date.part);
  const Checked<ClockTime> time = CheckTimeFields(e.moment[3], e.moment[4], e.moment[5]);
  if (!time.ok()) return refuse(time.error, kEditDay + 3 + time.part);
  if (!Blank(e.correction) && !CheckCorrection(e.correction).ok())
    return refuse(kCheckCorrectionKey, kEditCorrection);
  if (!Blank(e.latitude) && !CheckLatitude(e.latitude).ok())
    return refuse(kCheckLatitudeKey, kEditLatitude);
  if (!Blank(e.longitude) && !CheckLongitude(e.longitude).ok())
    return refuse(kCheckLongitudeKey, kEditLongitude);
  return true;
}

void ApplyEditsToCard(const CardEdits& e, db::FieldArray& card) {
  // What the dialog showed of the stored card: an edit left as shown keeps the stored
  // text whole (a name longer than its edit, a latitude with more decimals).
  const CardEdits shown = EditsFromCard(card);
  auto stored_and_untouched = [&card](int n, bool untouched) {
    return untouched && !card[n].empty();
  };
  const bool moment_untouched = e.moment == shown.moment;
  if (!stored_and_untouched(kFieldDate, moment_untouched) &&
      !stored_and_untouched(kFieldTime, moment_untouched)) {
    int n[6] = {1, 1, 1, 0, 0, 0};
    for (int i = 0; i < 6; ++i) n[i] = static_cast<int>(LeadingInteger(e.moment[i]));
    card[kFieldDate] = Two(n[0]) + "." + Two(n[1]) + "." + FormatInteger(n[2], 4, true);
    card[kFieldTime] = Two(n[3]) + ":" + Two(n[4]) + ":" + Two(n[5]);
  }
  struct EditedText {
    int field;
    const std::string& edit;
    const std::string& shown;
    bool number;
  };
  for (const EditedText& t : {EditedText{kFieldName, e.name, shown.name, false},
                              EditedText{kFieldCorrection, e.correction, shown.correction, true},
                              EditedText{kFieldTown, e.town, shown.town, false},
                              EditedText{kFieldLatitude, e.latitude, shown.latitude, true},
                              EditedText{kFieldLongitude, e.longitude, shown.longitude, true}}) {
    if (stored_and_untouched(t.field, t.edit == t.shown)) continue;
    card[t.field] = t.number ? Number(t.edit) : Cut(t.edit, kNameChars);
  }
  card[kFieldSex] = FormatInteger(e.sex == 1 ? 1 : 0);
}

db::FieldArray CardFromChart(const ChartCard& c) {
  db::FieldArray card;
  card[kFieldName] = Cut(TrimRight(c.name), kNameChars);
  const std::string moment = FormatDateTime(c.jd_local);
  const size_t blank = moment.find(' ');
  card[kFieldDate] = moment.substr(0, blank);
  card[kFieldTime] = blank == std::string::npos ? std::string() : moment.substr(blank + 1);
  card[kFieldLatitude] = FormatFixed(c.lat_packed, 2);
  card[kFieldLongitude] = FormatFixed(c.lon_packed, 2);
  card[kFieldTown] = Cut(TrimRight(c.place), kNameChars);
  // Two decimals as a card shows them; a correction the town chooser gave to the
  // second of time keeps its third decimal rather than move the chart by seconds.
  const double hundredths = std::round(c.correction_h * 100.0);
  card[kFieldCorrection] = std::fabs(hundredths / 100.0 - c.correction_h) < 5e-7
                               ? FormatFixed(c.correction_h, 2)
                               : FormatFixed(c.correction_h, 3);
  card[kFieldText2] = Cut(TrimRight(c.text2), kNameChars);
  card[kFieldSex] = FormatInteger(c.sex == 1 ? 1 : 0);
  return card;
}

}  // namespace kv::cards
