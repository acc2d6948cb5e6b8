// DSet: the chart settings ("    Настройки"), dialog 1003 for the astrologer and 1023
// for the ordinary user, who is not offered the origin, the direction and the three
// buttons of planets and orbs. OK sets the wheel's option bytes, the text font and the
// house system; the colour buttons and the buttons of planets and orbs act at once.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/ui/settings/settings_widgets.h"
#include "aspects/ui/aspect_dialog_hooks.h"
#include "aspects/ui/colour_chooser.h"
#include "common/settings.h"
#include "common/ui/window_hooks.h"

class QComboBox;
class QListWidget;

namespace kv {

inline constexpr int kAstrologerSettingsResource = 1003;
inline constexpr int kUserSettingsResource = 1023;
inline constexpr const char* kHelpVarg = "Varg";

inline constexpr int kIdOriginGroup = 100;
inline constexpr int kIdDirectionGroup = 101;
inline constexpr int kIdZodiacFillGroup = 103;
inline constexpr int kIdHouseFillGroup = 104;
inline constexpr int kIdOriginAscendant = 201;
inline constexpr int kIdOriginAries = 202;
inline constexpr int kIdCounterClockwise = 203;
inline constexpr int kIdClockwise = 204;
inline constexpr int kIdFirstZodiacFill = 210;  // 210..213
inline constexpr int kIdFirstHouseFill = 220;   // 220..222
inline constexpr int kIdMaximise = 252;
inline constexpr int kIdPlanetRingFill = 255;
inline constexpr int kIdPrintLegendChart = 256;
inline constexpr int kIdColourList = 1501;
inline constexpr int kIdFontCombo = 1502;
inline constexpr int kIdHouseSystemCombo = 1503;
inline constexpr int kCmdSetColour = 1000;
inline constexpr int kCmdRestoreAllColours = 1001;
inline constexpr int kCmdRestoreColour = 1002;
inline constexpr int kCmdActivePlanets = 1200;
inline constexpr int kCmdAspectedPlanets = 1201;
inline constexpr int kCmdOrbBlocks = 1202;

struct ChartSettingsHooks {
  ColourPicker pick_colour = &ChooseColour;
  AspectDialogHooks orb_dialogs;
  // After anything that acts at once (colours, masks, orb blocks) and after OK: open
  // charts repaint with the settings as they are now.
  std::function<void()> changed = &NotifySettingsChanged;
};

class DSet : public settings_ui::SettingsDial {
  Q_OBJECT
 public:
  // Dialog 1003 when option byte 40 says astrologer, else 1023.
  DSet(QWidget* parent, Settings& s, ChartSettingsHooks hooks = {});

  bool ForAstrologer() const { return astrologer_; }
  // Selects a row of the colour list (drawing element), as a click does.
  void SelectColourElement(int element);
  void Command(int id) override;

 protected:
  bool CanClose() override;

 private:
  void BuildLayout();
  void Preset();
  void ShowColour(int element);
  void ChooseColourOfSelected();
  void Changed();

  Settings& s_;
  ChartSettingsHooks hooks_;
  bool astrologer_;
  std::vector<std::string> fonts_;
  settings_ui::RadioGroup* origin_ = nullptr;
  settings_ui::RadioGroup* direction_ = nullptr;
  settings_ui::RadioGroup* zodiac_fill_ = nullptr;
  settings_ui::RadioGroup* house_fill_ = nullptr;
  QListWidget* colours_ = nullptr;
  QComboBox* font_ = nullptr;
  QComboBox* house_system_ = nullptr;
};

}  // namespace kv
