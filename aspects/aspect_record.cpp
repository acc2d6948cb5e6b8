#include "aspects/aspect_record.h"

namespace kv {

void FillOppositeCuspOrbs(AspectRecord& rec, int given) {
  // Ascending order matters: 23 copies 17 before anything could copy 23.
  for (int point = kFirstCuspPoint + kCuspOppositeShift; point <= kOrbPoints; ++point) {
    if (point > given) rec.orbs[point - 1] = rec.orbs[point - 1 - kCuspOppositeShift];
  }
}

}  // namespace kv
