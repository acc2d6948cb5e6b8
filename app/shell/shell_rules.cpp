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

namespace {

std::vector<MenuItem> ReadMenuItems(const TextResources& res, std::string_view key, int depth) {
  std::vector<MenuItem> out;
  if (depth > 8) return out;
  for (const auto& piece : res.LookupList(key)) {
    MenuItem item;
    size_t open = piece.find('[');
    if (open == std::string::npos) {
      out.push_back(item);
      continue;
    }
    size_t close = piece.find(']', open);
    std::string inside = piece.substr(open + 1, close == std::string::npos ? std::string::npos
                                                                           : close - open - 1);
    item.text = piece.substr(0, open);
    if (inside.rfind("SUB=", 0) == 0) {
      item.kind = MenuItem::Kind::kSubmenu;
      item.items = ReadMenuItems(res, inside.substr(4), depth + 1);
    } else {
      item.id = static_cast<int>(ReadInt(inside));
      if (item.id != 0) item.kind = MenuItem::Kind::kCommand;
    }
    out.push_back(std::move(item));
  }
  return out;
}

}  // namespace

std::vector<MenuItem> ReadMenuEntry(const TextResources& res, std::string_view key) {
  return ReadMenuItems(res, key.substr(0, key.find('.')), 0);
}

std::vector<std::string> CleanupFiles() {
  std::vector<std::string> files = ListFiles("*.tmp");
  for (auto& f : ListFiles("*.aoj")) files.push_back(f);
  return files;
}

}  // namespace kv
