// The settings menu of the main window: "Гороскоп", "Интерпретация", "Принтер" and
// "Статус пользователя" open their dialogs on the program's settings. The dialogs
// tell NotifySettingsChanged, which the composition connects to the open charts.
#pragma once

namespace kv {

class DUApp;

// Registers the four commands with the application object (once, when composing).
void ConnectSettingsMenu(DUApp& app);

}  // namespace kv
