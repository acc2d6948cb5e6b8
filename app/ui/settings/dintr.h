// The interpretation settings (dialog 1050 "Настройка интерпретации"): which sign and
// house texts of the 16 bodies, the Ascendant and MC texts go into the natal
// interpretation, justification, and the text layout. OK refuses a line width outside
// 20..200 characters or a margin outside 0..100 mm, naming the field, and stays open.
#pragma once

#include "app/ui/settings/settings_widgets.h"
#include "common/settings.h"

class QLineEdit;

namespace kv {

inline constexpr int kInterpretationSettingsResource = 1050;
inline constexpr const char* kHelpIntrSetup = "IntrSetup";
inline constexpr int kIdFirstSignText = 501;   // 501..516: bodies 1..16 in signs
inline constexpr int kIdFirstHouseText = 517;  // 517..532: bodies 1..16 in houses
inline constexpr int kIdAscendantText = 541;
inline constexpr int kIdMidheavenText = 542;
inline constexpr int kIdJustify = 543;
inline constexpr int kIdPrintMargin = 5001;
inline constexpr int kIdScreenLine = 5002;
inline constexpr int kIdPrintLine = 5003;
inline constexpr int kLayoutFieldChars = 10;

class DIntr : public settings_ui::SettingsDial {
  Q_OBJECT
 public:
  DIntr(QWidget* parent, Settings& s);

 protected:
  bool CanClose() override;

 private:
  Settings& s_;
};

}  // namespace kv
