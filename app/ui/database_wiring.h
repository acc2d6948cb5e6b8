// The person database in the program: the menu "База данных" (401, 404, 405),
// "Из Базы..." of the birth-data dialog and the chart window's command 2013.
#pragma once

namespace kv {

// Connects them; called once after the main window exists.
void WireDatabase();

}  // namespace kv
