// Rules of the application shell that do not need a window: where the frame goes,
// which start-up picture is painted and what the exit clean-up removes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/text_list.h"

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

// The files the exit clean-up removes: "*.tmp" first, then "*.aoj".
std::vector<std::string> CleanupFiles();

}  // namespace kv
