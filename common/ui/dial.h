// Dial: the base of the program's dialogs. It gives every dialog the same help key,
// the same OK/Cancel/Help buttons (labels from the "OCH" list), the same keys (F1 is
// Help, Esc is Cancel, in every control) and the optional blocks several dialogs
// share: the place block with "Города...", date and time edits with "Сегодня" and the
// calendar, a number edit, a prompt line and a list box.
//
// Controls are known by the identifiers of the dialog resources: Control(id) finds
// them, and each carries its identifier as its object name, so tests and derived
// dialogs address them the same way.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QRect>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/numbers.h"
#include "common/ui/window_hooks.h"  // help, "Города..."

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace kv {

// Option flags of a dialog.
enum DialFlag : int {
  kDialPlaceBlock = 0x01,     // edits 5011, 5012, 5013 and the button 7002 "Города..."
  kDialNumber = 0x04,         // number edit 1403 with up-down 1000 (0..3000), static 1404
  kDialButtonsRow = 0x08,     // group box 7001 with OK, Cancel, Help in a row
  kDialButtonsColumn = 0x20,  // group box 7001 with the three buttons in a column
  kDialPrompt = 0x40,         // static 7000 with the creator's text
  kDialListBox = 0x80,        // list box 7004
};

// Commands and control identifiers shared by all dialogs.
inline constexpr int kCmdOk = 1;
inline constexpr int kCmdCancel = 2;
inline constexpr int kCmdHelp = 9;
inline constexpr int kCmdTowns = 7002;
inline constexpr int kCmdToday = 7003;
inline constexpr int kCmdCalendar = 5900;
inline constexpr int kCmdCalendarText1 = 5901;
inline constexpr int kCmdCalendarText2 = 5902;
inline constexpr int kIdTown = 5011;
inline constexpr int kIdLatitude = 5012;
inline constexpr int kIdLongitude = 5013;
inline constexpr int kIdNumber = 1403;
inline constexpr int kIdNumberUpDown = 1000;
inline constexpr int kIdNumberLabel = 1404;
inline constexpr int kIdButtonBox = 7001;
inline constexpr int kIdPrompt = 7000;
inline constexpr int kIdListBox = 7004;
inline constexpr int kMaxHelpKey = 19;

// Where the three buttons go inside the rectangle r of group box 7001: in a row,
// slots of 0.32 of the width; in a column, slots of 0.28 of the height.
std::array<QRect, 3> DialButtonRects(const QRect& r, bool in_row);

// Numbers typed into edits: leading blanks, an optional sign, then digits (a decimal
// point or comma and digits for ReadEditNumber); anything unreadable, or an integer
// beyond the int range, reads 0. They go through common/numbers.h, so they never
// depend on the process locale; edits are filled with its FormatFixed.
int ReadEditInt(std::string_view text);
double ReadEditNumber(std::string_view text);
// FormatFixed (printf's "%W.Pf" without the locale) comes from common/numbers.h.
// "%02d"; "%04d" with digits = 4.
std::string FormatPadded(int value, int digits = 2);

// The face of the program's text font (from the "Shr" list), used by the calendar.
void SetDialogTextFace(const std::string& face_cp1251);
const std::string& DialogTextFace();

class Dial : public QDialog {
  Q_OBJECT
 public:
  // help_key: a text-resource key of at most 19 characters (longer keys are cut).
  Dial(QWidget* parent, int resource_id, std::string help_key, int flags,
       int initial_number = 0);
  ~Dial() override;

  int ResourceId() const { return resource_id_; }
  const std::string& HelpKey() const { return help_key_; }
  int Flags() const { return flags_; }

  // The control with a resource identifier, or nullptr.
  QWidget* Control(int id) const;
  template <class W>
  W* ControlAs(int id) const { return qobject_cast<W*>(Control(id)); }
  // Text of an edit in 1251, "" for an unknown id.
  std::string EditText(int id) const;
  void SetEditText(int id, std::string_view text_cp1251);

  // Runs a command as the dialog's buttons and keys do.
  virtual void Command(int id);

  // Parts the derived dialog places in its layout (created by the flags).
  QWidget* ButtonBox() const { return button_box_; }
  QPushButton* TownsButton() const { return towns_button_; }
  int Number() const;

  // The creator's prompt for flag 0x40.
  void SetPrompt(const QString& text);
  // The command a double-click in the list box sends (OK unless set).
  void SetDefaultCommand(int id) { default_command_ = id; }

 signals:
  void HelpRequested(const QString& help_key);

 protected:
  // Makes a control known by its identifier, with F1/Esc and focus-leave handling.
  void RegisterControl(int id, QWidget* control);
  QLineEdit* AddEdit(int id, int max_chars);
  QPushButton* AddButton(int id, const QString& text);
  // The date and time edits (day, month, year[, hours, minutes, seconds]) and the
  // correction edit (nullptr when there is none), in this order.
  void SetDateTimeEdits(std::vector<QLineEdit*> edits, QLineEdit* correction);
  // A text edit holding "day.month.year[ hours:minutes]" for command 5901 or 5902.
  void SetDateTextEdit(int which, QLineEdit* edit);
  // The local Julian day of the date and time edits (leading digits, empty 0);
  // 2451545.0 when the dialog has none.
  double DateTimeJulianDay() const;
  // Writes the present date and, with six edits, time into the edits.
  void FillToday();
  // The note beside the correction (TownRequest::note), hidden while there is none.
  // A derived dialog may place it in its layout; otherwise it goes right after the
  // correction edit. Call after SetDateTimeEdits.
  QLabel* CorrectionNote();

  // Called after "Сегодня", the calendar and the town chooser changed the edits.
  virtual void DateTimeChanged() {}
  // Called when the focus leaves a registered control.
  virtual void ControlLeft(int id) {}
  // OK: the derived dialog may refuse by returning false.
  virtual bool CanClose() { return true; }

  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void BuildFlagBlocks(int initial_number);
  void ChooseTown();
  void CalendarForEdits();
  void CalendarForText(QLineEdit* edit);
  void WatchChildren();
  void ShowCorrectionNote(const std::string& note);

  int resource_id_;
  std::string help_key_;
  int flags_;
  std::map<int, QWidget*> controls_;
  std::vector<QLineEdit*> date_edits_;
  QLineEdit* correction_edit_ = nullptr;
  std::array<QLineEdit*, 2> date_text_edits_{};
  bool summer_time_ = true;
  QWidget* button_box_ = nullptr;
  QPushButton* towns_button_ = nullptr;
  QLabel* prompt_ = nullptr;
  QLabel* correction_note_ = nullptr;
  QListWidget* list_ = nullptr;
  QSpinBox* number_ = nullptr;
  int default_command_ = kCmdOk;
  QPointer<QWidget> previous_active_;
  QPointer<QWidget> previous_focus_;
};

// Shows the dialog modally: the command that closed it (1 = OK, 2 = Cancel).
int RunDialog(Dial& dialog);

}  // namespace kv
