// The small input dialog of the orb dialogs: a caption, a prompt, one edit line and
// OK, Cancel, Help. It asks for the name of a new orb block and for a new aspect.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "common/ui/dial.h"

class QLineEdit;

namespace kv {

inline constexpr int kIdInputEdit = 5001;

struct TextRequest {
  QString caption;
  QString prompt;
  std::string help_key;
  int max_chars = 40;
};

class DTextInput : public Dial {
  Q_OBJECT
 public:
  DTextInput(QWidget* parent, const TextRequest& request);
  QLineEdit* Edit() const { return edit_; }

 private:
  QLineEdit* edit_;
};

// The typed text (code page 1251), or nothing when the user cancels.
std::optional<std::string> AskText(QWidget* parent, const TextRequest& request);

// What the dialogs call to ask (AskText; tests put their own).
using TextAsker = std::function<std::optional<std::string>(QWidget* parent, const TextRequest&)>;

}  // namespace kv
