#include "texts/ui/entry_edit_window.h"

#include <QCloseEvent>
#include <QDate>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/codepage.h"
#include "common/messages.h"
#include "common/tokens.h"
#include "common/ui/dkalend.h"
#include "common/ui/menu_builder.h"
#include "common/ui/qt_text.h"
#include "texts/entry_editor.h"
#include "texts/ui/text_services.h"
#include "texts/ui/text_windows.h"

namespace kv {
namespace fs = std::filesystem;
namespace {

DFrm::ExitQuestion& ExitQuestionHook() {
  static DFrm::ExitQuestion hook;
  return hook;
}

QString ButtonLabel(size_t index, const char* fallback) {
  const std::vector<std::string> labels = Split(Text("OCH"), '/');
  return index < labels.size() ? FromCp1251(labels[index]) : QString::fromLatin1(fallback);
}

// The field's text in 1251 as it stands. toPlainText() would turn no-break spaces
// into blanks, and 0xA0 is "а" in a text still in code page 866.
std::string FieldText(const QPlainTextEdit* edit) {
  QString text = edit->document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  return ToCp1251(text);
}

// Fills a menu from a menu entry of the text resources.
void FillFromEntry(QMenu* menu, const char* key, const std::function<void(int)>& on_command) {
  FillMenu(menu, ReadMenuEntry(Resources(), key), on_command);
}

}  // namespace

// ---------------------------------------------------------------- DExitQuestion

DExitQuestion::DExitQuestion(QWidget* parent) : Dial(parent, kExitQuestionResource, kHelpEdit, 0) {
  setWindowTitle(QString::fromUtf8("Выход"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromUtf8("Файл был изменен. Сохранить изменения?"), this));
  auto* row = new QHBoxLayout;
  QPushButton* dont = AddButton(kCmdExitDontSave, QString::fromUtf8("Не сохранять"));
  QPushButton* save = AddButton(kCmdExitSave, QString::fromUtf8("Сохранить"));
  QPushButton* go_on = AddButton(kCmdExitGoOn, QString::fromUtf8("Продолжить редакт."));
  QPushButton* help = AddButton(kCmdHelp, ButtonLabel(2, "Help"));
  save->setDefault(true);
  for (QPushButton* b : {dont, save, go_on, help}) row->addWidget(b);
  layout->addLayout(row);
}

void DExitQuestion::Command(int id) {
  if (id == kCmdExitDontSave || id == kCmdExitSave || id == kCmdExitGoOn) {
    done(id);
    return;
  }
  Dial::Command(id);
}

ExitAnswer DExitQuestion::AnswerOf(int result) {
  if (result == kCmdExitDontSave) return ExitAnswer::kDontSave;
  if (result == kCmdExitSave) return ExitAnswer::kSave;
  return ExitAnswer::kGoOn;  // "Продолжить редакт.", Esc, the close box
}

// ---------------------------------------------------------------- DEdiT

DEdiT::DEdiT(QWidget* parent) : QPlainTextEdit(parent) {
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(18);
  setFont(font);
  setLineWrapMode(QPlainTextEdit::NoWrap);
}

void DEdiT::contextMenuEvent(QContextMenuEvent* e) {
  QMenu menu;
  FillFromEntry(&menu, kEditorContextMenu, [this](int id) { emit Command(id); });
  if (!menu.isEmpty()) menu.exec(e->globalPos());
}

// ---------------------------------------------------------------- DFrm

DFrm::ExitQuestion DFrm::SetExitQuestion(ExitQuestion question) {
  ExitQuestion old = std::move(ExitQuestionHook());
  ExitQuestionHook() = std::move(question);
  return old;
}

DFrm::DFrm(const fs::path& file, QWidget* parent)
    : QDialog(parent), file_(file), edit_(new DEdiT(this)), menu_bar_(new QMenuBar(this)) {
  setWindowTitle(FromCp1251(FormatKey("EdTtl", file.filename().string().c_str())));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setMenuBar(menu_bar_);
  layout->addWidget(edit_);
  // The menu bar takes the items of "MDE": its pop-ups become the bar's entries.
  auto* items = new QMenu(this);
  FillFromEntry(items, kEditorMenu, [this](int id) { Command(id); });
  for (QAction* a : items->actions()) menu_bar_->addAction(a);
  connect(edit_, &DEdiT::Command, this, &DFrm::Command);
  edit_->installEventFilter(this);
  QWidget* frame = MainFrame();
  const QRect area = frame ? frame->frameGeometry() : QRect(0, 0, 1000, 800);
  setGeometry(TextWindowRect(area, false));
}

bool DFrm::Load() {
  bool too_big = false;
  std::optional<std::string> text = LoadForEditor(file_, &too_big);
  if (too_big) {
    QMessageBox::warning(parentWidget(), QStringLiteral("DEW"), TextQ("FBig"));
    return false;
  }
  if (!text) return false;
  // The lines come joined with CR LF; the edit field keeps lines apart itself.
  std::string lines;
  for (size_t i = 0; i < text->size(); ++i)
    if (!((*text)[i] == '\r' && i + 1 < text->size() && (*text)[i + 1] == '\n')) lines.push_back((*text)[i]);
  edit_->setPlainText(FromCp1251(lines));
  edit_->document()->setModified(false);
  converted_ = false;
  saved_ = false;
  return true;
}

void DFrm::Command(int id) {
  switch (id) {
    case kCmdEditorSave: Save(); break;
    case kCmdEditorFrom866: ConvertFrom866(); break;
    case kCmdEditorDate: InsertDate(); break;
    case kCmdEditorSelectAll: edit_->selectAll(); break;
    case kCmdEditorUndo: edit_->undo(); break;
    case kCmdEditorCut: edit_->cut(); break;
    case kCmdEditorCopy: edit_->copy(); break;
    case kCmdEditorPaste: edit_->paste(); break;
    case kCmdEditorClose: close(); break;
    default: break;
  }
}

// The temporary file holds the entry in code page 1251 and is written as the field
// shows it. (Writing it back in 866 after a conversion would make the write-back,
// which converts the file to 866, convert those lines a second time.)
bool DFrm::Save() {
  const bool modified = edit_->document()->isModified();
  if (SaveEditorText(file_, FieldText(edit_), false) != WriteBackStatus::kDone)
    return false;
  if (modified) saved_ = true;
  edit_->document()->setModified(false);
  return true;
}

void DFrm::ConvertFrom866() {
  const QString text = FromCp1251(Cp866ToCp1251(FieldText(edit_)));
  QTextCursor cursor(edit_->document());
  cursor.select(QTextCursor::Document);
  cursor.insertText(text);  // one step of undo, and the text counts as modified
  converted_ = true;
}

void DFrm::InsertDate() {
  const QDate today = QDate::currentDate();
  DateTimeRecord date{today.day(), today.month(), today.year(), 0, 0, 0};
  if (!Calendar(this, date)) return;
  edit_->insertPlainText(QString::fromStdString(EditorDate(date.day, date.month, date.year)));
}

bool DFrm::MayClose() {
  if (!edit_->document()->isModified()) return true;
  ExitAnswer answer;
  if (ExitQuestionHook()) {
    answer = ExitQuestionHook()(this);
  } else {
    DExitQuestion question(this);
    answer = DExitQuestion::AnswerOf(RunDialog(question));
  }
  switch (answer) {
    case ExitAnswer::kDontSave: return true;
    case ExitAnswer::kSave: return Save();
    case ExitAnswer::kGoOn: return false;
  }
  return false;
}

void DFrm::done(int result) {
  if (closing_) return;
  closing_ = true;
  const bool may = MayClose();
  closing_ = false;
  if (may) QDialog::done(result);
}

void DFrm::closeEvent(QCloseEvent* e) {
  // QDialog turns the close box into reject(), which asks through done().
  QDialog::closeEvent(e);
  if (isVisible()) e->ignore();
}

bool DFrm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == edit_ && e->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1) {
    OpenHelp(this, kHelpEdit);
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

bool RunEntryEditor(QWidget* parent, const fs::path& file) {
  DFrm editor(file, parent);
  if (!editor.Load()) return false;
  editor.exec();
  return editor.Saved();
}

EditResult EditCollectionText(QWidget* parent, const std::string& collection_file,
                              const std::string& key) {
  const bool justify = CurrentTextSettings().editor_justify;
  std::optional<ExtractedEntry> entry = ExtractEntry(Services().workdir, collection_file, key, justify);
  if (!entry) return EditResult::kFailed;
  if (!RunEntryEditor(parent, entry->temp_file)) {
    std::error_code ec;
    fs::remove(entry->temp_file, ec);
    return EditResult::kNotSaved;
  }
  return WriteBackEntry(*entry, justify) == WriteBackStatus::kDone ? EditResult::kSaved
                                                                    : EditResult::kFailed;
}

}  // namespace kv
