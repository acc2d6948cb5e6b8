// With KV_TIMING set, marks when the main window and each new child window first
// finish painting (common/timing.h), so that a run under Xvfb shows how long the user
// waits for them.
#pragma once

class QWidget;

namespace kv {

void WatchFirstPaints(QWidget* frame);

}  // namespace kv
