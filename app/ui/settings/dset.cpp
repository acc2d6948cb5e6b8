#include "app/ui/settings/dset.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/settings/dmask.h"
#include "aspects/ui/dlo.h"
#include "chart/wheel/wheel_style.h"
#include "common/messages.h"
#include "common/settings_choices.h"
#include "common/tokens.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

constexpr int kColourElements = static_cast<int>(std::tuple_size_v<decltype(Settings::colours)>);

QIcon Swatch(int32_t rgb) {
  QPixmap pm(16, 16);
  pm.fill(ColourFromRgb(rgb));
  QPainter p(&pm);
  p.setPen(Qt::gray);
  p.drawRect(0, 0, 15, 15);
  return QIcon(pm);
}

}  // namespace

DSet::DSet(QWidget* parent, Settings& s, ChartSettingsHooks hooks)
    : SettingsDial(parent,
                   s.Option(kOptAstrologer) ? kAstrologerSettingsResource : kUserSettingsResource,
                   kHelpVarg, kDialButtonsRow),
      s_(s),
      hooks_(std::move(hooks)),
      astrologer_(s.Option(kOptAstrologer)),
      fonts_(Split(Text("Shr"), '/')) {
  setWindowTitle(QString::fromUtf8("    Настройки"));
  BuildLayout();
  Preset();
}

void DSet::BuildLayout() {
  using settings_ui::RadioGroup;
  auto* left = new QGridLayout;
  left->setHorizontalSpacing(10);
  left->setVerticalSpacing(8);
  int row = 0;
  if (astrologer_) {
    origin_ = AddRadioGroup(kIdOriginGroup, "Начало Координат", kIdOriginAscendant,
                            {"Асцендент", "0 Овна"});
    direction_ = AddRadioGroup(kIdDirectionGroup, "Направление", kIdCounterClockwise,
                               {"Правое (против час.стрелки)", "Левое (по час.стрелке)"});
    left->addWidget(origin_->Box(), row, 0);
    left->addWidget(direction_->Box(), row, 1);
    ++row;
  }
  zodiac_fill_ = AddRadioGroup(kIdZodiacFillGroup, "Заливка зодиака", kIdFirstZodiacFill,
                               {"Без заливки", "Блеклая", "Размытая", "Плотная"});
  house_fill_ = AddRadioGroup(kIdHouseFillGroup, "Заливка домов", kIdFirstHouseFill,
                              {"Без заливки", "Как Зодиак", "Одним цветом"});
  left->addWidget(zodiac_fill_->Box(), row, 0);
  left->addWidget(house_fill_->Box(), row, 1);
  ++row;

  auto* checks = new QVBoxLayout;
  checks->setSpacing(3);
  checks->addWidget(AddCheck(kIdMaximise, QString::fromUtf8("Максимизировать окна")));
  checks->addWidget(AddCheck(kIdPlanetRingFill, QString::fromUtf8("Заливка кольца планет")));
  checks->addWidget(AddCheck(kIdPrintLegendChart, QString::fromUtf8("Выводить при печати символику")));
  left->addLayout(checks, row++, 0, 1, 2);

  font_ = new QComboBox(this);
  RegisterControl(kIdFontCombo, font_);
  for (const std::string& face : fonts_) font_->addItem(FromCp1251(face));
  house_system_ = new QComboBox(this);
  RegisterControl(kIdHouseSystemCombo, house_system_);
  for (const HouseSystemName& h : HouseSystemNames(Split(Text("HOUS"), '/')))
    house_system_->addItem(FromCp1251(h.name), h.number);
  auto* combos = new QGridLayout;
  combos->addWidget(new QLabel(QString::fromUtf8("Шрифт"), this), 0, 0);
  combos->addWidget(font_, 0, 1);
  combos->addWidget(new QLabel(QString::fromUtf8("Система домов"), this), 1, 0);
  combos->addWidget(house_system_, 1, 1);
  combos->setColumnStretch(1, 1);
  combos->setHorizontalSpacing(10);
  left->addLayout(combos, row++, 0, 1, 2);
  left->setRowStretch(row, 1);  // the groups keep their size when the list is taller

  colours_ = new QListWidget(this);
  RegisterControl(kIdColourList, colours_);
  const std::vector<std::string> elements = Split(Text("ColG"), '/');
  // Only the elements the colour table holds can be chosen.
  for (size_t i = 0; i < elements.size() && static_cast<int>(i) < kColourElements; ++i)
    colours_->addItem(FromCp1251(elements[i]));
  colours_->setMinimumWidth(250);
  connect(colours_, &QListWidget::itemDoubleClicked, this, [this] { Command(kCmdSetColour); });
  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel(QString::fromUtf8("Цвета"), this));
  right->addWidget(colours_, 1);
  right->addWidget(AddButton(kCmdSetColour, QString::fromUtf8("Установка цвета")));
  right->addWidget(AddButton(kCmdRestoreColour, QString::fromUtf8("Восстановить Стандартный Цвет")));
  right->addWidget(AddButton(kCmdRestoreAllColours, QString::fromUtf8("Восстановить Все Стандартные Цвета")));

  auto* body = new QHBoxLayout;
  body->setSpacing(16);
  body->addLayout(left);
  body->addLayout(right, 1);

  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(14, 12, 14, 10);
  top->addLayout(body, 1);
  if (astrologer_) {
    auto* more = new QHBoxLayout;
    more->addWidget(AddButton(kCmdActivePlanets, QString::fromUtf8("Активные планеты")));
    more->addWidget(AddButton(kCmdAspectedPlanets, QString::fromUtf8("Аспектируемые планеты")));
    more->addWidget(AddButton(kCmdOrbBlocks, QString::fromUtf8("Аспекты и орбисы")));
    top->addLayout(more);
  }
  top->addWidget(ButtonBox());
}

void DSet::Preset() {
  const ChartChoice c = ChartChoiceFrom(s_);
  if (astrologer_) {
    origin_->SetIndex(c.ascendant_origin ? 0 : 1);
    direction_->SetIndex(c.clockwise ? 1 : 0);
  }
  zodiac_fill_->SetIndex(c.zodiac_fill);
  house_fill_->SetIndex(c.house_fill);
  Check(kIdMaximise)->setChecked(c.maximised);
  Check(kIdPlanetRingFill)->setChecked(c.planet_ring_fill);
  Check(kIdPrintLegendChart)->setChecked(c.print_legend);
  font_->setCurrentIndex(c.font < font_->count() ? c.font : -1);
  house_system_->setCurrentIndex(house_system_->findData(c.house_system));
  for (int e = 0; e < colours_->count(); ++e) ShowColour(e);
  if (colours_->count() > 0) colours_->setCurrentRow(0);
}

void DSet::ShowColour(int element) {
  if (QListWidgetItem* item = colours_->item(element)) {
    const int32_t v = s_.colours[element];
    item->setIcon(Swatch(v >= 0 ? v : static_cast<int32_t>(BuiltInColour(element))));
  }
}

void DSet::SelectColourElement(int element) { colours_->setCurrentRow(element); }

void DSet::Changed() {
  if (hooks_.changed) hooks_.changed();
}

void DSet::Command(int id) {
  const int element = colours_->currentRow();
  switch (id) {
    case kCmdSetColour:
      ChooseColourOfSelected();
      break;
    case kCmdRestoreColour:
      if (element < 0) return;
      s_.colours[element] = kBuiltInColour;
      ShowColour(element);
      Changed();
      break;
    case kCmdRestoreAllColours:
      s_.colours.fill(kBuiltInColour);
      for (int e = 0; e < colours_->count(); ++e) ShowColour(e);
      Changed();
      break;
    case kCmdActivePlanets:
    case kCmdAspectedPlanets: {
      if (!astrologer_) return;
      const bool aspected = id == kCmdAspectedPlanets;
      DMask mask(this, aspected ? s_.aspected_mask : s_.planet_mask, aspected);
      if (RunDialog(mask) == kCmdOk) Changed();
      break;
    }
    case kCmdOrbBlocks: {
      if (!astrologer_) return;
      DLO blocks(this, s_.orb_file, hooks_.orb_dialogs);
      RunDialog(blocks);
      Changed();
      break;
    }
    default:
      Dial::Command(id);
  }
}

void DSet::ChooseColourOfSelected() {
  const int element = colours_->currentRow();
  if (element < 0 || !hooks_.pick_colour) return;
  const int32_t now = s_.colours[element];
  const std::optional<int32_t> chosen =
      hooks_.pick_colour(this, now >= 0 ? now : static_cast<int32_t>(BuiltInColour(element)));
  if (!chosen) return;
  s_.colours[element] = *chosen & 0x00FFFFFF;
  ShowColour(element);
  Changed();
}

bool DSet::CanClose() {
  ChartChoice c;
  if (astrologer_) {
    c.ascendant_origin = origin_->Index() != 1;
    c.clockwise = direction_->Index() != 0;
    // A group with nothing checked keeps what the settings say.
    if (origin_->Index() < 0) c.ascendant_origin = s_.Option(kOptAscendantOrigin);
    if (direction_->Index() < 0) c.clockwise = s_.Option(kOptClockwise);
  }
  c.zodiac_fill = zodiac_fill_->Index();
  c.house_fill = house_fill_->Index();
  c.maximised = Check(kIdMaximise)->isChecked();
  c.planet_ring_fill = Check(kIdPlanetRingFill)->isChecked();
  c.print_legend = Check(kIdPrintLegendChart)->isChecked();
  c.font = font_->currentIndex();
  c.house_system = house_system_->currentIndex() < 0 ? kKeep : house_system_->currentData().toInt();
  ApplyChartChoice(c, astrologer_, fonts_, s_);
  Changed();
  return true;
}

}  // namespace kv
