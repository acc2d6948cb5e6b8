#include "common/ui/window_hooks.h"

namespace kv {
namespace {

struct Hooks {
  HelpOpener help;
  TownChooser town;
  PersonPicker person;
  MaximiseRule maximise;
  MainClientFinder client;
  SettingsListener settings;
};

Hooks& Installed() {
  static Hooks hooks;
  return hooks;
}

template <class F>
F Replace(F& slot, F hook) {
  F old = std::move(slot);
  slot = std::move(hook);
  return old;
}

}  // namespace

HelpOpener SetHelpOpener(HelpOpener opener) { return Replace(Installed().help, std::move(opener)); }
void OpenHelp(QWidget* parent, const std::string& key) {
  if (Installed().help) Installed().help(parent, key);
}

TownChooser SetTownChooser(TownChooser chooser) { return Replace(Installed().town, std::move(chooser)); }
const TownChooser& CurrentTownChooser() { return Installed().town; }

PersonPicker SetPersonPicker(PersonPicker picker) { return Replace(Installed().person, std::move(picker)); }
const PersonPicker& CurrentPersonPicker() { return Installed().person; }

MaximiseRule SetMaximiseRule(MaximiseRule rule) { return Replace(Installed().maximise, std::move(rule)); }
bool MaximiseChildren() { return Installed().maximise ? Installed().maximise() : true; }

MainClientFinder SetMainClientFinder(MainClientFinder finder) {
  return Replace(Installed().client, std::move(finder));
}
QMdiArea* MainClient() { return Installed().client ? Installed().client() : nullptr; }

SettingsListener SetSettingsListener(SettingsListener listener) {
  return Replace(Installed().settings, std::move(listener));
}
void NotifySettingsChanged() {
  if (Installed().settings) Installed().settings();
}

}  // namespace kv
