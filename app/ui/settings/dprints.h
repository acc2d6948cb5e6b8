// DPrintS: the printer settings (dialog 1080 "Настройка принтера"). OK sets the six
// printing settings; "Макет страницы" opens the page setup of the printing support,
// whose choice is kept for the run at once.
#pragma once

#include "app/ui/settings/settings_widgets.h"
#include "common/settings.h"

namespace kv {

inline constexpr int kPrinterSettingsResource = 1080;
inline constexpr const char* kHelpDPrintS = "DPrintS";
inline constexpr int kIdPrintDialogFirst = 201;
inline constexpr int kIdPrinterMono = 202;
inline constexpr int kIdPrinterLowMemory = 203;
inline constexpr int kIdPrintLegend = 204;
inline constexpr int kIdPrintFillGroup = 103;
inline constexpr int kIdFirstPrintFill = 210;  // 210..214
inline constexpr int kIdLineWidthGroup = 104;
inline constexpr int kIdFirstLineWidth = 220;  // 220..223
inline constexpr int kCmdPageLayout = 1000;

class DPrintS : public settings_ui::SettingsDial {
  Q_OBJECT
 public:
  DPrintS(QWidget* parent, Settings& s);
  void Command(int id) override;

 protected:
  bool CanClose() override;

 private:
  void PageLayout();

  Settings& s_;
  settings_ui::RadioGroup* fill_;
  settings_ui::RadioGroup* line_width_;
};

}  // namespace kv
