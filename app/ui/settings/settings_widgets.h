// Pieces the settings dialogs share: radio groups whose buttons carry the control
// numbers of the dialog, check boxes, and the body names of their labels.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QString>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "common/ui/dial.h"

namespace kv::settings_ui {

// A framed group of radio buttons numbered first_id, first_id + 1, ...; the group's
// index is the checked button's place (0 for the first), -1 when none is checked.
class RadioGroup {
 public:
  RadioGroup(QWidget* parent, const char* title_utf8, int first_id,
             std::initializer_list<const char*> labels_utf8);
  QGroupBox* Box() const { return box_; }
  QRadioButton* Button(int index) const;
  int Index() const;
  void SetIndex(int index);  // -1 or an index outside the group checks none
  int FirstId() const { return first_id_; }
  int Count() const { return static_cast<int>(buttons_.size()); }

 private:
  QGroupBox* box_;
  QButtonGroup* group_;
  std::vector<QRadioButton*> buttons_;
  int first_id_;
};

// The names of bodies 1..16 from the list "PLH2"; a missing item reads as its number.
std::vector<QString> BodyNames();

// The base of the settings dialogs: the common dialog with radio groups and check
// boxes known by their control numbers, as every other control is.
class SettingsDial : public Dial {
  Q_OBJECT
 public:
  using Dial::Dial;

 protected:
  // The group box takes group_id, the buttons first_id onward.
  RadioGroup* AddRadioGroup(int group_id, const char* title_utf8, int first_id,
                            std::initializer_list<const char*> labels_utf8);
  QCheckBox* AddCheck(int id, const QString& label);
  QCheckBox* Check(int id) const { return ControlAs<QCheckBox>(id); }

 private:
  std::vector<std::unique_ptr<RadioGroup>> groups_;
};

}  // namespace kv::settings_ui
