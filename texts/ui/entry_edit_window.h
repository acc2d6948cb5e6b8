// The entry editor: DFrm, a modal frame with the menu "MDE" around DEdiT, a plain
// multi-line edit field with the context menu "MDEkt". It edits one text of a text
// collection that was copied into a temporary file; on save the entry goes back into
// the collection file (texts/entry_editor.h does the file work).
#pragma once

#include <QDialog>
#include <QPlainTextEdit>
#include <filesystem>
#include <functional>
#include <string>

#include "common/ui/dial.h"

class QMenuBar;

namespace kv {

inline constexpr const char* kHelpEdit = "EDIT";
inline constexpr const char* kEditorMenu = "MDE";
inline constexpr const char* kEditorContextMenu = "MDEkt";
inline constexpr int kExitQuestionResource = 1202;

enum EditorCommand : int {
  kCmdEditorSave = 2301,
  kCmdEditorFrom866 = 2302,
  kCmdEditorDate = 2303,
  kCmdEditorSelectAll = 2304,
  kCmdEditorUndo = 2305,
  kCmdEditorCut = 2306,
  kCmdEditorCopy = 2307,
  kCmdEditorPaste = 2308,
  kCmdEditorClose = 2309,
};

// The answers of the question 1202 "Выход".
enum class ExitAnswer { kDontSave, kSave, kGoOn };
inline constexpr int kCmdExitDontSave = 1203;
inline constexpr int kCmdExitSave = 1204;
inline constexpr int kCmdExitGoOn = 1205;

// "Файл был изменен. Сохранить изменения?" with "Не сохранять", "Сохранить",
// "Продолжить редакт." and "Помощь" (topic "EDIT"). Esc goes on editing.
class DExitQuestion : public Dial {
  Q_OBJECT
 public:
  explicit DExitQuestion(QWidget* parent);
  void Command(int id) override;
  static ExitAnswer AnswerOf(int result);
};

class DEdiT : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit DEdiT(QWidget* parent = nullptr);
 signals:
  void Command(int id);

 protected:
  void contextMenuEvent(QContextMenuEvent* e) override;
};

class DFrm : public QDialog {
  Q_OBJECT
 public:
  DFrm(const std::filesystem::path& file, QWidget* parent = nullptr);

  // Loads the file; false (after the box "Файл слишком велик", caption "DEW") when
  // it has 64001 bytes or more, or after the file-open message.
  bool Load();
  bool Saved() const { return saved_; }
  bool Converted() const { return converted_; }
  DEdiT* Edit() const { return edit_; }
  QMenuBar* MenuBar() const { return menu_bar_; }
  void Command(int id);

  // Test hook: answers the question "Выход" instead of the dialog.
  using ExitQuestion = std::function<ExitAnswer(QWidget* parent)>;
  static ExitQuestion SetExitQuestion(ExitQuestion question);

 protected:
  void done(int result) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  bool Save();
  bool MayClose();
  void InsertDate();
  void ConvertFrom866();

  std::filesystem::path file_;
  DEdiT* edit_;
  QMenuBar* menu_bar_;
  bool saved_ = false;
  bool converted_ = false;
  bool closing_ = false;
};

// Runs the editor modally on the file; true when the user saved.
bool RunEntryEditor(QWidget* parent, const std::filesystem::path& file);

enum class EditResult { kSaved, kNotSaved, kFailed };

// Edits the entry `key` of the collection file `collection_file` (in the working
// directory, FILES= files included): the entry goes into a temporary file, the
// editor opens on it, and a saved edit is written back. Every failure keeps the
// collection file byte for byte and says why.
EditResult EditCollectionText(QWidget* parent, const std::string& collection_file,
                              const std::string& key);

}  // namespace kv
