// DFrame: the MDI main frame with its menu bar; closing it runs the exit sequence.
#pragma once

#include <QMainWindow>
#include <map>

#include "app/shell/shell_rules.h"

namespace kv {

class DCli;
class DUApp;

// One command of the main menu: its id and text (UTF-8); id 0 is a separator.
struct MainMenuItem {
  int id;
  const char* text;
};

class DFrame : public QMainWindow {
  Q_OBJECT
 public:
  DFrame(DUApp* app, DCli* client);
  // Enables the menu commands that have a handler.
  void UpdateCommandStates();
  QAction* ActionFor(int id) const;

  // Puts the frame, title bar and borders included, on `outer`. The window manager's
  // decorations are known only after the frame is shown; until then the client area
  // takes the whole rectangle, and it shrinks by them as soon as they are reported.
  void PlaceFrame(const FrameRect& outer);

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool event(QEvent* e) override;

 private:
  void BuildMainMenu();
  void FitDecorations();
  FrameRect outer_{};
  bool fitting_ = false;
  DUApp* app_;
  DCli* client_;
  std::map<int, QAction*> actions_;
};

// Settings saved, "Закончить Работу?" asked; on Yes the clean-up runs and true is returned.
bool ConfirmExit(QWidget* parent);

}  // namespace kv
