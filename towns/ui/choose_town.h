// ChooseTown: the town chooser behind the "Города..." button of every dialog with a
// place block (install it with SetTownChooser of common/ui/window_hooks.h).
#pragma once

#include <string>

#include "common/ui/window_hooks.h"

namespace kv::towns {

// What the chooser keeps between its runs: the search text (saved with the settings
// as "Town") and the row of the country chosen last (for this run of the program).
struct TownChooserMemory {
  std::string search_text;  // 1251
  int last_country = -1;
};

// Opens the towns database read-only ("Noab" when it cannot) and runs DVTown on
// every town. On "Выбрать" with a town selected it fills the request: the place, the
// latitude, the longitude made east, the correction at the request's moment and,
// when the town's clocks changed on that date, the note "ClkCh". The typed text is
// remembered whatever the ending. True when a town was chosen. Not reentered while
// it runs.
bool ChooseTown(QWidget* parent, TownRequest& request, TownChooserMemory& memory);

}  // namespace kv::towns
