#include "aspects/aspect_record.h"

#include <cfloat>
#include <cmath>

#include "common/numbers.h"

namespace kv {

float OrbNumber(std::string_view text, size_t* used) {
  const double value = LeadingDouble(text, used);
  return std::fabs(value) > FLT_MAX ? 0.0f : static_cast<float>(value);
}

void FillOppositeCuspOrbs(AspectRecord& rec, int given) {
  // Ascending order matters: 23 copies 17 before anything could copy 23.
  for (int point = kFirstCuspPoint + kCuspOppositeShift; point <= kOrbPoints; ++point) {
    if (point > given) rec.orbs[point - 1] = rec.orbs[point - 1 - kCuspOppositeShift];
  }
}

}  // namespace kv
