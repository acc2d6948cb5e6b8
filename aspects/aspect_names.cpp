#include "aspects/aspect_names.h"

#include <cmath>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/tokens.h"

namespace kv {
namespace {

// Markers are written with two decimals at most ("Септиль[51.43]").
constexpr double kAngleTolerance = 0.005;

}  // namespace

std::string AspectNameIn(std::string_view list, float angle_deg) {
  for (const std::string& item : Split(list, '/')) {
    const size_t open = item.rfind('[');
    const size_t close = item.rfind(']');
    if (open == std::string::npos || close == std::string::npos || close < open) continue;
    const auto marker = ParseDouble(std::string_view(item).substr(open + 1, close - open - 1));
    if (marker && std::fabs(*marker - angle_deg) < kAngleTolerance) return item.substr(0, open);
  }
  return FormatGeneral(angle_deg, 6) + "\xB0";  // the degree sign of code page 1251
}

std::string AspectName(float angle_deg) { return AspectNameIn(Text(kAspectNamesKey), angle_deg); }

}  // namespace kv
