// The analysis window DAnk as the chart window's command 2003 opens it.
#pragma once

namespace kv {

class DKart;

// Opens the analysis of the chart `kart` shows in the main window's MDI client; a
// chart with a planet that has no position gets a warning instead.
void OpenAnalysisWindow(DKart& kart);

}  // namespace kv
