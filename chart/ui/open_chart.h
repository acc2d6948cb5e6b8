// Opening a chart window from a calculated record: the birth-data command calls this
// once the calculation succeeded.
#pragma once

#include "chart/record/chart_record.h"

namespace kv {

class DKart;

// Creates the chart window for a copy of `rec` (title "Карта %d: %s"), computes its
// aspects with the current orb file, enters it in the open-chart registers and shows
// it in the main window's MDI client (MainClient of window_hooks.h), maximised when
// option byte 30 is set. Returns the window, or nullptr when there is no main window
// to show it in.
DKart* OpenChartWindow(const ChartRecord& rec);

// Charts open now (the size of the open-chart registers).
int OpenChartCount();

// Every open chart repaints, with the settings of the moment (after the settings
// dialogs changed them). Each finds its aspects again first, since the current orb
// block or its contents may have changed (a block read costs no more than a paint,
// which reads it too for the line pens).
void RepaintOpenCharts();

}  // namespace kv
