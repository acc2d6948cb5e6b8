// Qt menus from menu items read from text-resource entries.
#pragma once

#include <QMenu>
#include <functional>
#include <string_view>

#include "common/menu_entry.h"

namespace kv {

// Fills menu with the items; each command action calls on_command with its id.
void FillMenu(QMenu* menu, const std::vector<MenuItem>& items,
              const std::function<void(int)>& on_command);
// The context menu of a child window, read from the entry of context_key.
void PopupMenuFromEntry(std::string_view context_key, const QPoint& global_pos,
                        const std::function<void(int)>& on_command);

}  // namespace kv
