// Loading and saving everything the program keeps between runs, in the order the
// start-up and the exit need: text resources first, then "kvi.ini".
#pragma once

#include <string>

#include "chart/record/chart_record.h"
#include "common/settings.h"
#include "common/text_list.h"
#include "common/text_resources.h"

namespace kv {

// Lists fetched once at start-up and kept for the whole run.
struct ResourceLists {
  TextList plh2;   // body names for the aspect and orb dialogs
  TextList pland;  // loaded, not used further
  TextList ph;     // 31 names: 16 bodies, 12 houses, 3 further points
  TextList zod;    // 12 sign names
  TextList zodp;   // loaded, not used further
};
ResourceLists& AppLists();

// The program's settings, loaded at start-up and written at exit.
Settings& AppSettings();

// The start-up record: the last chart's data, made from the settings' birth data at
// start-up and replaced by every chart the birth-data command opens.
ChartRecord& StartupChart();
// The working chart record the birth-data dialog edits: a copy of the start-up record
// made when the main window is created.
ChartRecord& WorkingChart();

// Hook for the database schema reader, installed by the database module.
using SchemaLoader = void (*)();
void SetSchemaLoader(SchemaLoader loader);

// The whole load of the start-up, in the working directory. Missing files give the
// "cannot open" warning and leave the defaults.
void LoadProgramSettings(Settings& s, TextResources& res, ResourceLists& lists);
// Writes "kvi.ini"; the "cannot open" warning when it cannot be created.
bool SaveProgramSettings(const Settings& s);

}  // namespace kv
