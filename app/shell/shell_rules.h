// Rules of the application shell that do not need a window: where the frame goes,
// which start-up picture is painted, and how a menu is read from a text-resource entry.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/textres/text_resources.h"

namespace kv {

struct FrameRect {
  int x, y, width, height;
};
// The frame covers the screen less 25 pixels of height, at (0, 0): the frame as the
// user sees it, the window manager's title bar and borders included.
FrameRect FrameGeometry(int screen_width, int screen_height);

// Widths of the decorations a window manager puts around the frame's client area.
struct FrameMargins {
  int left = 0, top = 0, right = 0, bottom = 0;
};
// The client area that puts the frame, decorations included, exactly on `outer`
// (never smaller than 1 x 1).
FrameRect ClientRect(const FrameRect& outer, const FrameMargins& margins);

// The "BMP" entry is a "/"-list of "width:file"; the first item whose width is within
// 1 % of the screen width and whose file exists wins; otherwise "kvima.bmp". Names
// longer than 19 characters do not fit the picture name and are passed over.
inline constexpr size_t kMaxPictureName = 19;
std::string ChooseStartupPicture(const TextList& bmp_items, int screen_width,
                                 const std::function<bool(const std::string&)>& exists);

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

// The files the exit clean-up removes: "*.tmp" first, then "*.aoj".
std::vector<std::string> CleanupFiles();

}  // namespace kv
