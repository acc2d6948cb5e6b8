// Composition of the window program: every command of the main menu, every hook a
// window of a lower layer declares and every start-up step is connected here, by
// explicit calls, once the main window exists. Nothing registers itself.
#pragma once

namespace kv {

class DUApp;

// Starts the ephemeris engine (no files: the fatal box ends the run), connects the
// hooks and the commands, and makes the start-up and working records from the
// settings' birth data. Called after LoadProgramSettings and InitMainWindow.
void ComposeMainWindow(DUApp& app);

}  // namespace kv
