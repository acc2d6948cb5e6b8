#include "app/shell/shell_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/files.h"
#include "common/tokens.h"

namespace kv {

FrameRect FrameGeometry(int screen_width, int screen_height) {
  return {0, 0, screen_width, screen_height - 25};
}

FrameRect ClientRect(const FrameRect& outer, const FrameMargins& m) {
  return {outer.x + m.left, outer.y + m.top, std::max(1, outer.width - m.left - m.right),
          std::max(1, outer.height - m.top - m.bottom)};
}

std::string ChooseStartupPicture(const TextList& bmp_items, int screen_width,
                                 const std::function<bool(const std::string&)>& exists) {
  for (const auto& item : bmp_items) {
    size_t colon = item.find(':');
    if (colon == std::string::npos || screen_width <= 0) continue;
    double w = ReadDouble(item.substr(0, colon));
    std::string file = TrimLeft(item.substr(colon + 1));
    if (file.empty() || file.size() > kMaxPictureName) continue;
    if (std::fabs(1.0 - w / screen_width) < 0.01 && exists(file)) return file;
  }
  return "kvima.bmp";
}

std::vector<std::string> CleanupFiles() {
  std::vector<std::string> files = ListFiles("*.tmp");
  for (auto& f : ListFiles("*.aoj")) files.push_back(f);
  return files;
}

}  // namespace kv
