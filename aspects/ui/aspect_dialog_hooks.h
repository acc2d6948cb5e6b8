// What the orb dialogs ask of the program besides the block files: a colour, a line
// of text, and someone to tell when a block changed (open charts then find their
// aspects again). The defaults are the real dialogs and the program's settings
// listener; tests put their own.
#pragma once

#include <functional>

#include "aspects/ui/colour_chooser.h"
#include "aspects/ui/text_input.h"
#include "common/ui/window_hooks.h"

namespace kv {

struct AspectDialogHooks {
  ColourPicker pick_colour = &ChooseColour;
  TextAsker ask_text = &AskText;
  // After a block was saved, created or deleted, or another block became current.
  std::function<void()> blocks_changed = &NotifySettingsChanged;
};

}  // namespace kv
