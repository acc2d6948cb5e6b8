#include "towns/zone_correction.h"

#include <cmath>
#include <string>

#include "common/calendar.h"
#include "common/files.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/tokens.h"
#include "towns/town_record.h"

namespace kv::towns {
namespace {

bool Blank(const std::string& s) { return TrimmedLength(s) == 0; }

struct Period {
  double first = 0;
  double end = 0;
  bool open = true;
};

Period ParsePeriod(std::string_view token) {
  Period p;
  size_t dash = token.find('-');
  p.first = ParseDate(token.substr(0, dash));
  if (dash != std::string_view::npos && dash + 1 < token.size()) {
    p.end = ParseDate(token.substr(dash + 1));
    p.open = false;
  }
  return p;
}

// Reports at most one damaged line per call.
class Damage {
 public:
  explicit Damage(bool quiet) : quiet_(quiet) {}
  void Report(const char* key, const std::string& where, const std::string& what) {
    if (quiet_ || reported_) return;
    reported_ = true;
    WarningFormat(key, where.c_str(), what.c_str());
  }

 private:
  bool quiet_;
  bool reported_ = false;
};

double OwnMeanTimeOffset(const db::FieldArray& town) {
  return DegMinToDegrees(LeadingDouble(town[kFieldLongitude])) / 15.0;
}

double Correction(double x, const db::FieldArray& town, bool summer, const ZoneTable& table,
                  bool quiet) {
  if (x == 0) return 0;
  Damage damage(quiet);
  double correction = 0;
  if (!Blank(town[kFieldFixedOffset])) {
    correction = -LeadingDouble(town[kFieldFixedOffset]);
  } else if (!Blank(town[kFieldZoneCode])) {
    if (!table.Loaded() || !table.Section(kZoneSection)) {
      if (!quiet) WarnCannotOpen(table.FileName() + "(" + kZoneSection + ")");
      return 0;
    }
    const std::vector<std::string>* line = table.ZoneLine(LeadingInteger(town[kFieldZoneCode]));
    if (line) {
      const std::string& code = (*line)[0];
      const std::string& fallback = (*line)[1];
      if (fallback == kLocalMeanTime) {
        correction = -OwnMeanTimeOffset(town);
      } else {
        if (!ParseDouble(fallback)) damage.Report("PopZn%s", code, fallback);
        correction = -LeadingDouble(fallback);
      }
      for (size_t i = 2; i < line->size(); i += 2) {
        const std::string& period_text = (*line)[i];
        if (!IsPeriodText(period_text)) damage.Report("PopZn%s", code, period_text);
        const Period p = ParsePeriod(period_text);
        if (x >= p.first && (p.open || x < p.end)) {
          const std::string offset = i + 1 < line->size() ? (*line)[i + 1] : std::string();
          if (!ParseDouble(offset)) damage.Report("PopZn%s", code, period_text + " " + offset);
          correction = -LeadingDouble(offset);
          break;
        }
      }
    }
  }
  if (summer && !Blank(town[kFieldSummerRule])) {
    const std::string rule = TrimRight(town[kFieldSummerRule]);
    const std::vector<std::string>* lines = table.Loaded() ? table.Section(rule) : nullptr;
    if (!lines) {
      if (!quiet) WarnCannotOpen(table.FileName() + "(" + rule + ")");
      return correction;
    }
    for (const std::string& raw : *lines) {
      std::string text = raw;
      size_t dash = text.find('-');
      if (dash != std::string::npos) text[dash] = ' ';
      const std::vector<std::string> t = Tokens(text);
      if (t.size() < 3 || !IsDateText(t[0]) || !IsDateText(t[1]) || !ParseDouble(t[2]))
        damage.Report("PopSm%s", rule, raw);
      if (t.size() < 3) continue;
      if (ParseDate(t[0]) < x && x <= ParseDate(t[1])) {
        correction -= LeadingDouble(t[2]);
        break;
      }
    }
  }
  return correction;
}

}  // namespace

bool IsDateText(std::string_view text) {
  const std::vector<std::string> parts = Split(text, '.');
  if (parts.size() != 3) return false;
  for (const auto& p : parts)
    if (!ParseInteger(p)) return false;
  const long long day = *ParseInteger(parts[0]), month = *ParseInteger(parts[1]);
  const long long year = *ParseInteger(parts[2]);
  return day >= 1 && day <= 31 && month >= 1 && month <= 12 && year != 0 &&
         text.find_first_of(" \t") == std::string_view::npos && text.back() != '.';
}

bool IsPeriodText(std::string_view text) {
  size_t dash = text.find('-');
  if (dash == std::string_view::npos) return IsDateText(text);
  std::string_view a = text.substr(0, dash), b = text.substr(dash + 1);
  return IsDateText(a) && IsDateText(b) && ParseDate(a) < ParseDate(b);
}

double ZoneCorrection(double jd_local, const db::FieldArray& town, bool summer,
                      const ZoneTable& table) {
  // + 0.0: an offset of 0 negated is -0.0, which would be written "-0.00".
  return Correction(jd_local, town, summer, table, false) + 0.0;
}

double ZoneCorrection(double jd_local, const db::FieldArray& town, bool summer) {
  ZoneTable table;
  table.Load(kZoneFile);
  return ZoneCorrection(jd_local, town, summer, table);
}

double QuietZoneCorrection(double jd_local, const db::FieldArray& town, bool summer,
                           const ZoneTable& table) {
  return Correction(jd_local, town, summer, table, true) + 0.0;
}

bool ClocksChangedOn(double jd_local, const db::FieldArray& town, const ZoneTable& table) {
  if (jd_local == 0) return false;
  const double day0 = std::floor(jd_local - 0.5) + 0.5;  // 0 h of the local date
  const double before = Correction(day0 - 0.5, town, true, table, true);
  const double on = Correction(day0 + 0.5, town, true, table, true);
  const double after = Correction(day0 + 1.5, town, true, table, true);
  return before != on || on != after;
}

}  // namespace kv::towns
