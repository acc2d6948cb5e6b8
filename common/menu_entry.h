// Menus read from text-resource entries: the context menus of the child windows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/text_resources.h"

namespace kv {

struct MenuItem {
  enum class Kind { kSeparator, kCommand, kSubmenu } kind = Kind::kSeparator;
  std::string text;  // 1251
  int id = 0;
  std::vector<MenuItem> items;  // of a submenu
};

// The items of a menu entry: an item without "[" or with "[0]" is a separator,
// "text[n]" a command, "text[SUB=key]" a submenu read from the entry of key. Everything
// from the first "." of the key on is dropped. Submenus nest at most 8 deep, so an
// entry that names itself cannot loop.
std::vector<MenuItem> ReadMenuEntry(const TextResources& res, std::string_view key);

}  // namespace kv
