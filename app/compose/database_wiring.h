// The person database in the program: the menu "База данных" (401, 404, 405),
// "Из Базы..." of the dialogs and the chart window's command 2013.
#pragma once

namespace kv {

class DUApp;
struct ChartWindowHooks;

// Registers the menu commands and the person picker; fills hooks.store_card.
void ConnectDatabase(DUApp& app, ChartWindowHooks& hooks);

}  // namespace kv
