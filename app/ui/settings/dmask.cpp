#include "app/ui/settings/dmask.h"

#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/settings_choices.h"

namespace kv {
namespace {
constexpr int kBodies = 16;
}

DMask::DMask(QWidget* parent, int32_t& mask, bool aspected)
    : SettingsDial(parent, kPlanetMaskResource, kHelpInsP, kDialButtonsRow), mask_(mask) {
  setWindowTitle(QString::fromUtf8(aspected ? "Аспектируемые планеты" : "    Выбор активных планет"));
  const std::vector<QString> names = settings_ui::BodyNames();
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(24);
  for (int i = 0; i < kBodies; ++i) {
    QCheckBox* c = AddCheck(kIdFirstPlanetBox + i, names[i]);
    c->setChecked((static_cast<uint32_t>(mask) >> i) & 1u);
    grid->addWidget(c, i % 8, i / 8);
  }
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(14, 12, 14, 10);
  top->addLayout(grid);
  auto* all = AddButton(kCmdMarkAll, QString::fromUtf8("Отметить все"));
  top->addWidget(all, 0, Qt::AlignLeft);
  top->addWidget(ButtonBox());
}

void DMask::Command(int id) {
  if (id != kCmdMarkAll) {
    Dial::Command(id);
    return;
  }
  for (int i = 0; i < kBodies; ++i) Check(kIdFirstPlanetBox + i)->setChecked(true);
}

bool DMask::CanClose() {
  uint32_t boxes = 0;
  for (int i = 0; i < kBodies; ++i)
    if (Check(kIdFirstPlanetBox + i)->isChecked()) boxes |= 1u << i;
  mask_ = MaskFromBoxes(boxes);
  return true;
}

}  // namespace kv
