// DBirthData: the birth-data dialog (resource 1001, caption "   Данные пользователя",
// help topic "VV"). Name, local date and time, correction, place, sex and the
// exact-time box, with the universal time shown live in the two "(GMT)" fields.
// "Сегодня" takes the present moment, "Города..." the towns database, "Из Базы..."
// a card of the person database.
//
// (The analysis window of the chart subsystem is DAnk; this dialog is named after
// what it edits.)
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "chart/birth/birth_values.h"
#include "common/ui/dial.h"
#include "common/ui/window_hooks.h"  // "Из Базы..."

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace kv {

inline constexpr int kBirthDialogResource = 1001;
inline constexpr const char* kBirthDialogHelp = "VV";

// Control identifiers of resource 1001.
enum BirthControl : int {
  kIdName = 5000,
  kIdDay = 5001,
  kIdMonth = 5002,
  kIdYear = 5003,
  kIdHours = 5004,
  kIdMinutes = 5005,
  kIdSeconds = 5006,
  kIdCorrection = 5010,
  kIdSexGroup = 500,
  kIdMale = 501,
  kIdFemale = 502,
  kIdExactTime = 520,
  kIdUtDate = 5018,
  kIdUtTime = 5019,
  kCmdFromDatabase = 5021,
};

// Why the typed values were refused: the text-resource key of the message (it names
// the field and its form) and the edit to correct.
struct BirthRefusal {
  const char* key = nullptr;
  int control = 0;
};

class DBirthData : public Dial {
  Q_OBJECT
 public:
  // `database` is the current person database's name (for "Из Базы..." and its message).
  DBirthData(QWidget* parent, const BirthValues& values, double jd_ut_stored,
             std::string database);

  // The values typed now, or nothing when a field holds what is not a birth moment
  // or place: a day the calendar lacks (31.02, 5..14.10.1582), a clock time past
  // 23:59:59, letters, a correction beyond 14 hours, a packed coordinate out of range
  // or with 60 minutes or more. Nothing impossible is turned into another moment.
  std::optional<BirthValues> Values(BirthRefusal* refusal = nullptr) const;
  // Recomputes the universal-time preview from the edits; empty while they are not a
  // moment.
  void UpdatePreview();

  void Command(int id) override;

 protected:
  void DateTimeChanged() override { UpdatePreview(); }
  void ControlLeft(int id) override;
  // OK with a refused field shows its message and keeps the dialog open as typed.
  bool CanClose() override;

 private:
  void BuildLayout();
  void Fill(const BirthValues& v);
  void ShowUniversalTime(double jd_ut);
  void TakeToday();
  void TakeFromDatabase();
  QLineEdit* Edit(int id) const;

  std::string database_;
  QButtonGroup* sex_ = nullptr;
  QCheckBox* exact_ = nullptr;
};

// The fields of a card put into the dialog's values: 2 name, 3 and 4 date and time,
// 8 correction, 7 place, 5 latitude, 6 longitude, 16 sex.
void ApplyCardToDialog(const CardFields& card, Dial& dialog);

}  // namespace kv
