// The colour chooser of the settings dialogs and the aspect dialog: Qt's colour
// dialog with its 16 custom colours preset to greys. Colours are Windows RGB values
// 0x00BBGGRR, as the colour table and the orb blocks keep them.
#pragma once

#include <QColor>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace kv {

inline constexpr int kChooserCustomColours = 16;

// The custom colours: 0x010101 first (a black the dialog does not take for "no
// colour"), then grey 16 * i for i = 1..15, 0x101010 up to 0xF0F0F0.
std::array<int32_t, kChooserCustomColours> ChooserGreys();

QColor ColourFromRgb(int32_t rgb);
int32_t RgbFromColour(const QColor& colour);

// Presets the custom colours, shows the dialog on `initial` and returns the chosen
// colour, or nothing when the user cancels.
std::optional<int32_t> ChooseColour(QWidget* parent, int32_t initial);

// What the dialogs call to choose a colour (ChooseColour; tests put their own).
using ColourPicker = std::function<std::optional<int32_t>(QWidget* parent, int32_t initial)>;

}  // namespace kv
