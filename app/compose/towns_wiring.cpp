#include "app/compose/towns_wiring.h"

#include "app/settings/program_settings.h"
#include "common/ui/window_hooks.h"
#include "towns/ui/choose_town.h"

namespace kv {

void ConnectTownChooser() {
  SetTownChooser([](QWidget* parent, TownRequest& request) {
    static towns::TownChooserMemory memory;  // the last country: for this run only
    memory.search_text = AppSettings().town_file;
    const bool chosen = towns::ChooseTown(parent, request, memory);
    AppSettings().town_file = memory.search_text;
    return chosen;
  });
}

}  // namespace kv
