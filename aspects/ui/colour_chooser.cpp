#include "aspects/ui/colour_chooser.h"

#include <QColorDialog>

namespace kv {

std::array<int32_t, kChooserCustomColours> ChooserGreys() {
  std::array<int32_t, kChooserCustomColours> greys{};
  greys[0] = 0x010101;
  for (int i = 1; i < kChooserCustomColours; ++i) greys[i] = (16 * i) * 0x010101;
  return greys;
}

QColor ColourFromRgb(int32_t rgb) { return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF); }

int32_t RgbFromColour(const QColor& c) { return c.red() | c.green() << 8 | c.blue() << 16; }

std::optional<int32_t> ChooseColour(QWidget* parent, int32_t initial) {
  const auto greys = ChooserGreys();
  for (int i = 0; i < kChooserCustomColours; ++i)
    QColorDialog::setCustomColor(i, ColourFromRgb(greys[i]));
  QColorDialog dialog(ColourFromRgb(initial), parent);
  // The platform's own dialog would not show the custom colours set here.
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return RgbFromColour(dialog.selectedColor());
}

}  // namespace kv
