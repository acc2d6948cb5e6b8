// The hooks through which a window reaches a window of another subsystem. The layer
// that needs a window declares the hook here; the program connects it to the window
// of the subsystem that has it when it composes itself (app/compose/compose.cpp), so
// no layer includes one above it. Each setter returns the hook it replaced; an unset
// hook has the behaviour its comment names.
//
//   help on a key      F1 and "Помощь" in every dialog (Dial) and child window
//                      (DKerChild)                          -> texts/ui help window
//   "Города..."        the place block of the dialogs (Dial) -> towns/ui chooser
//   "Из Базы..."       the birth-data dialog, the card dialog -> db/ui person list
//   child windows      maximised or not, and the MDI client they open in -> app frame
//   settings changed   settings dialogs tell the open windows -> chart/ui repaint
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <string>

class QMdiArea;

namespace kv {

// ---------------------------------------------------------------- help on a key
// The help window on a help key (1251). Without one, the request is only signalled by
// the dialog or window (their HelpRequested signals).
using HelpOpener = std::function<void(QWidget* parent, const std::string& help_key)>;
HelpOpener SetHelpOpener(HelpOpener opener);
// Opens help on the key when an opener is installed.
void OpenHelp(QWidget* parent, const std::string& help_key);

// ---------------------------------------------------------------- "Города..."
// What the town chooser gets and gives back. The dialog fills the moment (the local
// Julian day of its date and time edits, 2451545.0 without them); the chooser fills
// the place and, when it knows one, the correction valid at that moment.
struct TownRequest {
  double jd_local = 2451545.0;
  bool summer_time = true;        // the chooser may apply summer time (always on)
  std::string place;              // 1251, at most 29 characters
  double lat_packed = 0;
  double lon_packed = 0;
  double correction_h = 0;
  bool has_correction = false;
  // A warning about the correction (1251), shown beside the correction edit until
  // the date, the time or the correction is changed; empty for none.
  std::string note;
};
// The town chooser of the towns database: true when the user chose a town.
using TownChooser = std::function<bool(QWidget* parent, TownRequest& request)>;
// Without a chooser, "Города..." shows the message "Noab".
TownChooser SetTownChooser(TownChooser chooser);
const TownChooser& CurrentTownChooser();

// ---------------------------------------------------------------- "Из Базы..."
// A card of the person database as its numbered fields (1251 texts); a field that is
// not there reads as an empty text.
using CardFields = std::map<int, std::string>;

// What the person chooser of the database dialogs reports.
enum class PersonPick {
  kChosen,      // a card was chosen with OK; its fields are filled
  kNotChosen,   // the list was closed otherwise
  kCannotOpen,  // the database cannot be opened; the dialog shows "NoB%s"
};
// Opens the person database `database` (1251 name), shows its person list and
// fills `card` with the chosen card.
using PersonPicker =
    std::function<PersonPick(QWidget* parent, const std::string& database, CardFields& card)>;
// Without a picker, "Из Базы..." shows "NoB%s" with the database name.
PersonPicker SetPersonPicker(PersonPicker picker);
const PersonPicker& CurrentPersonPicker();

// ---------------------------------------------------------------- child windows
// Whether a new child window opens maximised (option byte 30 of the settings).
// Without a rule, maximised, as that byte's default.
using MaximiseRule = std::function<bool()>;
MaximiseRule SetMaximiseRule(MaximiseRule rule);
bool MaximiseChildren();

// The MDI client of the main frame, where child windows open; without one (or when
// it gives nullptr) there is no main window to open them in.
using MainClientFinder = std::function<QMdiArea*()>;
MainClientFinder SetMainClientFinder(MainClientFinder finder);
QMdiArea* MainClient();

// ---------------------------------------------------------------- settings changed
// Told by the settings dialogs after they changed the program's settings, so that
// open windows (the charts) repaint with them. Without a listener, nothing happens.
using SettingsListener = std::function<void()>;
SettingsListener SetSettingsListener(SettingsListener listener);
void NotifySettingsChanged();

}  // namespace kv
