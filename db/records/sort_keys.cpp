#include "db/records/sort_keys.h"

#include "common/tokens.h"

namespace kv::db {

int64_t DateSortKey(std::string_view text, bool day_month_only) {
  size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) start = text.size();
  text = text.substr(start);
  text = text.substr(0, text.find_first_of(" \t"));
  int64_t part[3] = {1, 1, 1};
  for (int i = 0; i < 3 && !text.empty(); ++i) {
    size_t dot = text.find('.');
    std::string_view field = text.substr(0, dot);
    if (!field.empty()) part[i] = ReadInt(field);
    text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
  }
  // Days and months of a typed date stay within two digits; clamp what does not.
  auto clamp = [](int64_t v) { return v < 0 ? 0 : v > 99 ? 99 : v; };
  int64_t day = clamp(part[0]);
  int64_t month = clamp(part[1]);
  int64_t year = part[2] < -1000000 ? -1000000 : part[2] > 1000000 ? 1000000 : part[2];
  if (day_month_only) year = 2000;
  return (year * 100 + month) * 100 + day;
}

}  // namespace kv::db
