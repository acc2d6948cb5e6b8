// DKerChild: the base of every MDI child window. It knows its title, the
// text-resource entry of its context menu and its help topic (F1 opens help on it
// through the help hook), opens maximised when the settings say so (the maximise
// rule of window_hooks.h), copies its picture to the clipboard (2102) or saves it
// to a file (3102) and deletes the file it shows when it goes away. DChild is the
// base of the chart-related children (chart, analysis).
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <string>

class QMdiArea;
class QMdiSubWindow;

namespace kv {

inline constexpr int kCmdCopyPicture = 2102;
inline constexpr int kCmdSavePicture = 3102;

class DKerChild : public QWidget {
  Q_OBJECT
 public:
  DKerChild(const QString& title, std::string context_key, std::string help_topic,
            QWidget* parent = nullptr);
  ~DKerChild() override;

  // Adds the window to the MDI area, maximised when the maximise rule says so (option
  // byte 30; the opposite when `inverse_maximise`), and shows it.
  QMdiSubWindow* ShowIn(QMdiArea* area, bool inverse_maximise = false);

  const std::string& HelpTopic() const { return help_topic_; }
  bool HasFocusFlag() const { return has_focus_; }
  void SetOwnFile(const std::string& path) { own_file_ = path; }

  // A command of the context menu; derived windows handle their own and pass the rest on.
  virtual void Command(int id);

  // What the client area shows, as the clipboard and a saved picture get it.
  virtual QImage ClientPicture();

 signals:
  void HelpRequested(const QString& topic);
  void Activated(kv::DKerChild* child);

 protected:
  void contextMenuEvent(QContextMenuEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  std::string context_key_;
  std::string help_topic_;
  std::string own_file_;
  bool has_focus_ = false;
};

// Base of the chart-related children (the chart window, the analysis).
class DChild : public DKerChild {
 public:
  using DKerChild::DKerChild;
};

// The child that last received the keyboard focus, or nullptr.
DKerChild* ActiveChild();

}  // namespace kv
