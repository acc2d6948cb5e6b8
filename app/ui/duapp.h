// DUApp: the application object. It owns the main frame and handles the commands
// of the main menu, whichever child is active. Subsystems register the handlers of
// their commands; a menu command without a handler stays disabled.
#pragma once

#include <QObject>
#include <functional>
#include <map>

namespace kv {

class DFrame;
class DCli;

class DUApp : public QObject {
  Q_OBJECT
 public:
  DUApp();
  ~DUApp() override;

  static DUApp* Instance();

  using Handler = std::function<void()>;
  void RegisterCommand(int id, Handler handler);
  bool HasCommand(int id) const { return handlers_.count(id) > 0; }
  void Command(int id);

  // Creates the frame and client (caption "Kvimarot", the screen less 25 pixels of
  // height), the main menu, and the working record.
  void InitMainWindow();
  DFrame* Frame() const { return frame_; }
  // The chart windows open now; the chart subsystem supplies it.
  std::function<int()> open_chart_count = [] { return 0; };
  DCli* Client() const { return client_; }

 private:
  void RegisterShellCommands();
  std::map<int, Handler> handlers_;
  DFrame* frame_ = nullptr;
  DCli* client_ = nullptr;
};

}  // namespace kv
