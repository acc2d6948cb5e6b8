#include "app/ui/settings/dintr.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/settings_choices.h"
#include "common/ui/window_hooks.h"

namespace kv {
namespace {
constexpr int kBodies = 16;
}

DIntr::DIntr(QWidget* parent, Settings& s)
    : SettingsDial(parent, kInterpretationSettingsResource, kHelpIntrSetup, kDialButtonsRow), s_(s) {
  setWindowTitle(QString::fromUtf8("Настройка интерпретации"));
  const InterpretationChoice c = InterpretationChoiceFrom(s_);
  const std::vector<QString> names = settings_ui::BodyNames();

  auto* texts = new QGroupBox(QString::fromUtf8("Тексты о планетах"), this);
  auto* grid = new QGridLayout(texts);
  grid->setVerticalSpacing(1);
  grid->setHorizontalSpacing(14);
  grid->addWidget(new QLabel(QString::fromUtf8("в знаках"), texts), 0, 1, Qt::AlignHCenter);
  grid->addWidget(new QLabel(QString::fromUtf8("в домах"), texts), 0, 2, Qt::AlignHCenter);
  for (int i = 0; i < kBodies; ++i) {
    grid->addWidget(new QLabel(names[i], texts), i + 1, 0);
    QCheckBox* in_sign = AddCheck(kIdFirstSignText + i, QString());
    QCheckBox* in_house = AddCheck(kIdFirstHouseText + i, QString());
    in_sign->setChecked((c.signs >> i) & 1u);
    in_house->setChecked((c.houses >> i) & 1u);
    in_sign->setAccessibleName(names[i]);
    in_house->setAccessibleName(names[i]);
    grid->addWidget(in_sign, i + 1, 1, Qt::AlignHCenter);
    grid->addWidget(in_house, i + 1, 2, Qt::AlignHCenter);
  }

  auto* right = new QVBoxLayout;
  right->addWidget(AddCheck(kIdAscendantText, QString::fromUtf8("Асц")));
  right->addWidget(AddCheck(kIdMidheavenText, QString::fromUtf8("МС")));
  right->addWidget(AddCheck(kIdJustify, QString::fromUtf8("Выравнивание текстов")));
  Check(kIdAscendantText)->setChecked(c.ascendant);
  Check(kIdMidheavenText)->setChecked(c.midheaven);
  Check(kIdJustify)->setChecked(c.justify);

  auto* line = new QGroupBox(QString::fromUtf8("Символов в строке"), this);
  auto* line_grid = new QGridLayout(line);
  auto* numbers = new QGridLayout;
  auto add_field = [&](QGridLayout* g, int row, int id, const char* label, int value) {
    QLineEdit* e = AddEdit(id, kLayoutFieldChars);
    e->setText(QString::fromStdString(FormatInteger(value)));
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QString(6, QChar('0'))) + 14);
    g->addWidget(new QLabel(QString::fromUtf8(label), this), row, 0);
    g->addWidget(e, row, 1);
  };
  add_field(line_grid, 0, kIdScreenLine, "На экране", c.screen_chars);
  add_field(line_grid, 1, kIdPrintLine, "На печати", c.print_chars);
  add_field(numbers, 0, kIdPrintMargin, "Левое поле печати (мм)", c.margin_mm);
  right->addSpacing(10);
  right->addWidget(line);
  right->addLayout(numbers);
  right->addStretch(1);

  auto* body = new QHBoxLayout;
  body->setSpacing(16);
  body->addWidget(texts);
  body->addLayout(right);
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(14, 12, 14, 10);
  top->addLayout(body);
  top->addWidget(ButtonBox());
}

bool DIntr::CanClose() {
  InterpretationChoice c;
  // In the order the fields stand in the dialog; the first refused one is named.
  const struct {
    int id;
    LayoutField field;
    int16_t* value;
  } fields[] = {{kIdScreenLine, LayoutField::kScreenLine, &c.screen_chars},
                {kIdPrintLine, LayoutField::kPrintLine, &c.print_chars},
                {kIdPrintMargin, LayoutField::kMargin, &c.margin_mm}};
  for (const auto& f : fields) {
    const std::optional<int16_t> v = ReadLayoutField(f.field, EditText(f.id));
    if (!v) {
      WarningKey(LayoutRangeOf(f.field).refusal_key);
      if (auto* e = ControlAs<QLineEdit>(f.id)) {
        e->setFocus();
        e->selectAll();
      }
      return false;
    }
    *f.value = *v;
  }
  for (int i = 0; i < kBodies; ++i) {
    if (Check(kIdFirstSignText + i)->isChecked()) c.signs |= static_cast<uint16_t>(1u << i);
    if (Check(kIdFirstHouseText + i)->isChecked()) c.houses |= static_cast<uint16_t>(1u << i);
  }
  c.ascendant = Check(kIdAscendantText)->isChecked();
  c.midheaven = Check(kIdMidheavenText)->isChecked();
  c.justify = Check(kIdJustify)->isChecked();
  ApplyInterpretationChoice(c, s_);
  NotifySettingsChanged();  // open charts read these option bytes too
  return true;
}

}  // namespace kv
