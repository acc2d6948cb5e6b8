#include "app/ui/duapp.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>

#include "app/settings/program_settings.h"
#include "app/shell/shell_rules.h"
#include "app/ui/dcli.h"
#include "app/ui/dframe.h"
#include "app/ui/menu_commands.h"
#include "common/messages.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {
DUApp* g_app = nullptr;
}

DUApp::DUApp() {
  g_app = this;
  RegisterShellCommands();
}

DUApp::~DUApp() {
  if (g_app == this) g_app = nullptr;
}

DUApp* DUApp::Instance() { return g_app; }

void DUApp::RegisterCommand(int id, Handler handler) {
  handlers_[id] = std::move(handler);
  if (frame_) frame_->UpdateCommandStates();
}

void DUApp::Command(int id) {
  auto it = handlers_.find(id);
  if (it != handlers_.end()) it->second();
}

void DUApp::RegisterShellCommands() {
  for (int id : {kCmdCascade, kCmdTile, kCmdArrangeIcons, kCmdCloseAll})
    RegisterCommand(id, [this, id] { client_->WindowCommand(id); });
  RegisterCommand(kCmdMenuInterpretation, [this] {
    if (open_chart_count() == 0) WarningKey("NoKr");
  });
  RegisterCommand(kCmdExit, [this] { frame_->close(); });
  RegisterCommand(kCmdSettingsEditor, [this] {
    QString path = QFileDialog::getOpenFileName(frame_, QString(), QString(),
                                                QString::fromUtf8("Выполняемые (*)"));
    if (!path.isEmpty()) AppSettings().editor_path = ToCp1251(path).substr(0, kMaxEditorPath);
  });
}

void DUApp::InitMainWindow() {
  client_ = new DCli;
  frame_ = new DFrame(this, client_);
  QScreen* screen = QGuiApplication::primaryScreen();
  QRect s = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
  frame_->PlaceFrame(FrameGeometry(s.width(), s.height()));
  frame_->UpdateCommandStates();
}

}  // namespace kv
