// The settings menu of the main window: the commands that open the settings dialogs
// on the program's settings, and the open chart windows following what they change.
#pragma once

namespace kv {

class DUApp;

inline constexpr int kCmdChartSettings = 305;
inline constexpr int kCmdInterpretationSettings = 306;
inline constexpr int kCmdPrinterSettings = 307;
inline constexpr int kCmdUserStatus = 308;

// Registers the four commands with the application object (one call at start-up).
void WireSettingsDialogs(DUApp& app);

// Every open chart window finds its aspects again with the current orb block and
// repaints with the settings as they are now.
void RefreshOpenCharts();

}  // namespace kv
