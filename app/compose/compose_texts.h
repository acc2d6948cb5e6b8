// Composition of the texts subsystem: its settings, the main menu's commands
// "Интерпретация", "Символика", "Знаки", "Дома", "Планеты" and "Помощь", help on a key
// for every dialog and child window, and the chart window's interpretation (2016) and
// wheel clicks.
#pragma once

namespace kv {

class DUApp;

// Adds to the chart-window hooks already installed; called after they are.
void ConnectTexts(DUApp& app);

}  // namespace kv
