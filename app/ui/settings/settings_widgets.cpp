#include "app/ui/settings/settings_widgets.h"

#include <QVBoxLayout>

#include "common/messages.h"
#include "common/tokens.h"
#include "common/ui/qt_text.h"

namespace kv::settings_ui {

RadioGroup::RadioGroup(QWidget* parent, const char* title, int first_id,
                       std::initializer_list<const char*> labels)
    : box_(new QGroupBox(QString::fromUtf8(title), parent)),
      group_(new QButtonGroup(box_)),
      first_id_(first_id) {
  auto* layout = new QVBoxLayout(box_);
  layout->setSpacing(2);
  int id = first_id;
  for (const char* label : labels) {
    auto* b = new QRadioButton(QString::fromUtf8(label), box_);
    b->setObjectName(QString::number(id));
    group_->addButton(b, id++);
    layout->addWidget(b);
    buttons_.push_back(b);
  }
}

QRadioButton* RadioGroup::Button(int index) const {
  return index >= 0 && index < Count() ? buttons_[index] : nullptr;
}

int RadioGroup::Index() const {
  const int id = group_->checkedId();
  return id < 0 ? -1 : id - first_id_;
}

void RadioGroup::SetIndex(int index) {
  if (QRadioButton* b = Button(index)) {
    b->setChecked(true);
    return;
  }
  // An exclusive group cannot uncheck its last button directly.
  group_->setExclusive(false);
  for (QRadioButton* b : buttons_) b->setChecked(false);
  group_->setExclusive(true);
}

std::vector<QString> BodyNames() {
  const std::vector<std::string> items = Split(Text("PLH2"), '/');
  std::vector<QString> names;
  for (size_t i = 0; i < 16; ++i)
    names.push_back(i < items.size() ? FromCp1251(items[i]) : QString::number(i + 1));
  return names;
}

RadioGroup* SettingsDial::AddRadioGroup(int group_id, const char* title, int first_id,
                                        std::initializer_list<const char*> labels) {
  groups_.push_back(std::make_unique<RadioGroup>(this, title, first_id, labels));
  RadioGroup* g = groups_.back().get();
  RegisterControl(group_id, g->Box());
  for (int i = 0; i < g->Count(); ++i) RegisterControl(first_id + i, g->Button(i));
  return g;
}

QCheckBox* SettingsDial::AddCheck(int id, const QString& label) {
  auto* c = new QCheckBox(label, this);
  RegisterControl(id, c);
  return c;
}

}  // namespace kv::settings_ui
