// The towns subsystem joins the program: "Города..." of every dialog with a place
// block runs the town chooser, which remembers its search text in the setting "Town".
#pragma once

namespace kv {

// Sets the town chooser hook (common/ui/window_hooks.h).
void ConnectTownChooser();

}  // namespace kv
