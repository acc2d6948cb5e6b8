#include "common/menu_entry.h"

#include "common/tokens.h"

namespace kv {

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

}  // namespace kv
