#include <cctype>
#include <climits>
#include <string>

#include "common/calendar.h"
#include "common/numbers.h"

namespace kv {

namespace {

std::string Two(long long n) { return FormatInteger(n, 2, true); }

}  // namespace

std::string FormatDateTime(double jd) {
  const DateTimeRecord r = JulianDayToDate(jd);
  return Two(r.day) + "." + Two(r.month) + "." + FormatInteger(r.year, 4, true) + " " +
         Two(r.hour) + ":" + Two(r.minute) + ":" + Two(r.second);
}

std::string FormatDate(double jd) {
  const DateTimeRecord r = JulianDayToDate(jd);
  return Two(r.day) + "." + Two(r.month) + "." + FormatInteger(r.year, 4, true);
}

namespace {

struct SplitText {
  std::string_view date;
  std::string_view time;
  bool has_time = false;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Leading blanks are skipped; the first blank separates the date from the time.
SplitText SplitDateTime(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  text.remove_prefix(i);
  SplitText s;
  const size_t blank = text.find_first_of(" \t");
  if (blank == std::string_view::npos) {
    s.date = text;
    return s;
  }
  s.date = text.substr(0, blank);
  std::string_view t = text.substr(blank + 1);
  while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
  s.time = t;
  s.has_time = !t.empty();
  return s;
}

// Up to `max` integer fields separated by `sep`; returns how many were present.
int SplitFields(std::string_view text, char sep, int* out, int max) {
  int n = 0;
  while (!text.empty() && n < max) {
    const size_t p = text.find(sep);
    const long long v = LeadingInteger(text.substr(0, p));
    out[n++] = static_cast<int>(v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : v);
    if (p == std::string_view::npos) break;
    text.remove_prefix(p + 1);
  }
  return n;
}

DateTimeRecord FieldsToRecord(std::string_view date_text, std::string_view time_text,
                              int* date_fields) {
  int d[3] = {1, 1, 1};
  int t[3] = {0, 0, 0};
  const int n = SplitFields(date_text, '.', d, 3);
  if (date_fields) *date_fields = n;
  SplitFields(time_text, ':', t, 3);
  return DateTimeRecord{d[0], d[1], d[2], t[0], t[1], t[2]};
}

}  // namespace

DateTimeRecord ParseDateTimeFields(std::string_view date_text, std::string_view time_text) {
  return FieldsToRecord(date_text, time_text, nullptr);
}

double ParseDateTime(std::string_view text, bool noon) {
  const SplitText s = SplitDateTime(text);
  int fields = 0;
  const DateTimeRecord r = FieldsToRecord(s.date, s.time, &fields);
  if (fields < 3 || r.year == 0) return -1.0;
  double jd = DateToJulianDay(r);
  if (noon && (!s.has_time || !std::isdigit(static_cast<unsigned char>(s.time.front()))))
    jd += 0.5;
  return jd;
}

double ParseDate(std::string_view text) {
  const SplitText s = SplitDateTime(text);
  DateTimeRecord r = FieldsToRecord(s.date, {}, nullptr);
  return DateToJulianDay(r);
}

double ParseDayMonth(std::string_view text) {
  const SplitText s = SplitDateTime(text);
  int d[2] = {1, 1};
  SplitFields(s.date, '.', d, 2);
  return DateToJulianDayAt0h(d[0], d[1], 2000);
}

}  // namespace kv
