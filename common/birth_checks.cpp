#include "common/birth_checks.h"

#include <climits>
#include <optional>
#include <string>

#include "common/calendar_rules.h"
#include "common/numbers.h"

namespace kv {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trimmed(std::string_view t) {
  while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
  return t;
}

// One whole number that fits an int; blanks around it allowed.
std::optional<int> WholeNumber(std::string_view text) {
  const auto v = ParseInteger(text);
  if (!v || *v < INT_MIN || *v > INT_MAX) return std::nullopt;
  return static_cast<int>(*v);
}

template <class T>
Checked<T> Refused(const char* key, int part) {
  Checked<T> c;
  c.error = key;
  c.part = part;
  return c;
}

// [sign] digits [(.|,) digits] with nothing else but blanks around: the value, and
// the minutes (the first two decimals) through `minutes`.
std::optional<double> PackedNumber(std::string_view text, int* minutes) {
  text = Trimmed(text);
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const size_t first_digit = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  const size_t degree_digits = i - first_digit;
  if (degree_digits == 0 || degree_digits > 3) return std::nullopt;
  std::string number(text.substr(0, i));
  *minutes = 0;
  if (i < text.size()) {
    if (text[i] != '.' && text[i] != ',') return std::nullopt;
    ++i;
    const size_t first_decimal = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i != text.size() || i == first_decimal) return std::nullopt;
    const std::string_view decimals = text.substr(first_decimal);
    // "55.4" is 55 degrees 40 minutes: a single decimal is tens of minutes.
    *minutes = (decimals[0] - '0') * 10 + (decimals.size() > 1 ? decimals[1] - '0' : 0);
    number += '.';
    number += decimals;
  }
  return ParseDouble(number);
}

Checked<double> CheckPacked(std::string_view text, double low, double high, const char* key) {
  int minutes = 0;
  const auto v = PackedNumber(text, &minutes);
  if (!v || minutes >= 60 || *v < low || *v > high) return Refused<double>(key, 0);
  Checked<double> c;
  c.value = *v;
  return c;
}

}  // namespace

Checked<BirthDate> CheckDate(int day, int month, int year) {
  if (month < 1 || month > 12) return Refused<BirthDate>(kCheckDateKey, 1);
  if (year == 0 || year < -kMaxYear || year > kMaxYear) return Refused<BirthDate>(kCheckDateKey, 2);
  if (day < 1 || day > DaysInCalendarMonth(month, year)) return Refused<BirthDate>(kCheckDayKey, 0);
  if (InCalendarReformGap(day, month, year)) return Refused<BirthDate>(kCheckGapKey, 0);
  Checked<BirthDate> c;
  c.value = {day, month, year};
  return c;
}

Checked<BirthDate> CheckDateFields(std::string_view day, std::string_view month,
                                   std::string_view year) {
  const std::string_view texts[3] = {day, month, year};
  int n[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    const auto v = WholeNumber(texts[i]);
    if (!v) return Refused<BirthDate>(kCheckDateKey, i);
    n[i] = *v;
  }
  return CheckDate(n[0], n[1], n[2]);
}

Checked<BirthDate> CheckDateText(std::string_view text) {
  text = Trimmed(text);
  const size_t p1 = text.find('.');
  const size_t p2 = p1 == std::string_view::npos ? p1 : text.find('.', p1 + 1);
  if (p2 == std::string_view::npos || text.find('.', p2 + 1) != std::string_view::npos)
    return Refused<BirthDate>(kCheckDateKey, 0);
  return CheckDateFields(text.substr(0, p1), text.substr(p1 + 1, p2 - p1 - 1),
                         text.substr(p2 + 1));
}

Checked<ClockTime> CheckTime(int hour, int minute, int second) {
  if (hour < 0 || hour > 23) return Refused<ClockTime>(kCheckTimeKey, 0);
  if (minute < 0 || minute > 59) return Refused<ClockTime>(kCheckTimeKey, 1);
  if (second < 0 || second > 59) return Refused<ClockTime>(kCheckTimeKey, 2);
  Checked<ClockTime> c;
  c.value = {hour, minute, second};
  return c;
}

Checked<ClockTime> CheckTimeFields(std::string_view hours, std::string_view minutes,
                                   std::string_view seconds) {
  const std::string_view texts[3] = {hours, minutes, seconds};
  int n[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    if (i > 0 && Trimmed(texts[i]).empty()) continue;
    const auto v = WholeNumber(texts[i]);
    if (!v) return Refused<ClockTime>(kCheckTimeKey, i);
    n[i] = *v;
  }
  return CheckTime(n[0], n[1], n[2]);
}

Checked<ClockTime> CheckTimeText(std::string_view text) {
  text = Trimmed(text);
  const size_t p1 = text.find(':');
  if (p1 == std::string_view::npos) return Refused<ClockTime>(kCheckTimeKey, 0);
  const size_t p2 = text.find(':', p1 + 1);
  if (p2 != std::string_view::npos && text.find(':', p2 + 1) != std::string_view::npos)
    return Refused<ClockTime>(kCheckTimeKey, 2);
  const std::string_view minutes =
      text.substr(p1 + 1, p2 == std::string_view::npos ? std::string_view::npos : p2 - p1 - 1);
  const std::string_view seconds =
      p2 == std::string_view::npos ? std::string_view("0") : text.substr(p2 + 1);
  // In a text every part is written: "14:" is not 14:00.
  if (Trimmed(minutes).empty()) return Refused<ClockTime>(kCheckTimeKey, 1);
  if (Trimmed(seconds).empty()) return Refused<ClockTime>(kCheckTimeKey, 2);
  return CheckTimeFields(text.substr(0, p1), minutes, seconds);
}

Checked<double> CheckCorrection(std::string_view text) {
  std::string s(Trimmed(text));
  for (char& c : s)
    if (c == ',') c = '.';
  // Plain decimals only: no exponent, and a digit on each side of the point is optional.
  for (char c : s)
    if (!IsDigit(c) && c != '.' && c != '-' && c != '+') return Refused<double>(kCheckCorrectionKey, 0);
  const auto v = ParseDouble(s);
  if (!v || *v < -kMaxCorrectionHours || *v > kMaxCorrectionHours)
    return Refused<double>(kCheckCorrectionKey, 0);
  Checked<double> c;
  c.value = *v;
  return c;
}

Checked<double> CheckLatitude(std::string_view text) {
  return CheckPacked(text, -kMaxLatitudePacked, kMaxLatitudePacked, kCheckLatitudeKey);
}

Checked<double> CheckLongitude(std::string_view text) {
  return CheckPacked(text, kMinLongitudePacked, kMaxLongitudePacked, kCheckLongitudeKey);
}

}  // namespace kv
