#include "aspects/ui/text_input.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace kv {
namespace {
// The input dialog has no resource of its own; its identity is the help key.
constexpr int kTextInputResource = 0;
}  // namespace

DTextInput::DTextInput(QWidget* parent, const TextRequest& request)
    : Dial(parent, kTextInputResource, request.help_key, kDialPrompt | kDialButtonsRow) {
  setWindowTitle(request.caption);
  SetPrompt(request.prompt);
  edit_ = AddEdit(kIdInputEdit, request.max_chars);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 12, 14, 10);
  layout->addWidget(Control(kIdPrompt));
  layout->addWidget(edit_);
  layout->addWidget(ButtonBox());
  setMinimumWidth(360);
  edit_->setFocus();
}

std::optional<std::string> AskText(QWidget* parent, const TextRequest& request) {
  DTextInput dialog(parent, request);
  if (RunDialog(dialog) != kCmdOk) return std::nullopt;
  return dialog.EditText(kIdInputEdit);
}

}  // namespace kv
