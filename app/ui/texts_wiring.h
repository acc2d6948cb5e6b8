// Connects the texts subsystem to the program: its settings and menus, the main
// menu's commands 901, 902, 500, 501, 502 and 601, help on a key for every dialog and
// child window, and the chart window's interpretation (2016) and wheel clicks.
#pragma once

namespace kv {

class DUApp;

void WireTexts(DUApp& app);

}  // namespace kv
