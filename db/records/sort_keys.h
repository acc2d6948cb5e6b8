// Sort keys for the dated listings of ListKeys.
#pragma once

#include <cstdint>
#include <string_view>

namespace kv::db {

// "day.month.year" read as the calendar reads it (leading blanks skipped, the text cut
// at the first blank, missing fields 1) and turned into a number that orders as the
// dates do. With day_month_only the year is left out.
int64_t DateSortKey(std::string_view text, bool day_month_only);

}  // namespace kv::db
