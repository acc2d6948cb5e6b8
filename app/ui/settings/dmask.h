// The planet mask (dialog 1002): the 16 bodies shown on the wheel ("MaskP") or taking
// part in aspect lines ("MaskA", caption "Аспектируемые планеты"). OK sets the mask to
// exactly the 16 boxes; the bits of the cusps and above are cleared.
#pragma once

#include <cstdint>

#include "app/ui/settings/settings_widgets.h"

namespace kv {

inline constexpr int kPlanetMaskResource = 1002;
inline constexpr const char* kHelpInsP = "InsP";
inline constexpr int kIdFirstPlanetBox = 501;  // 501..516: bodies 1..16
inline constexpr int kCmdMarkAll = 3000;

class DMask : public settings_ui::SettingsDial {
  Q_OBJECT
 public:
  // `aspected`: the dialog edits "MaskA" instead of "MaskP".
  DMask(QWidget* parent, int32_t& mask, bool aspected);
  void Command(int id) override;

 protected:
  bool CanClose() override;

 private:
  int32_t& mask_;
};

}  // namespace kv
