#include "app/ui/dcli.h"

#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScreen>

#include "app/shell/shell_rules.h"
#include "app/ui/menu_commands.h"
#include "common/files.h"
#include "common/text_resources.h"

namespace kv {

DKerCli::DKerCli(QWidget* parent) : QMdiArea(parent) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

bool DKerCli::WindowCommand(int id) {
  switch (id) {
    case kCmdCascade: cascadeSubWindows(); return true;
    case kCmdTile: tileSubWindows(); return true;
    case kCmdArrangeIcons: ArrangeIcons(); return true;
    case kCmdCloseAll: closeAllSubWindows(); return true;
    default: return false;
  }
}

// Minimised children go in a row along the bottom edge, left to right.
void DKerCli::ArrangeIcons() {
  int x = 0;
  for (QMdiSubWindow* sub : subWindowList()) {
    if (!sub->isMinimized()) continue;
    QSize s = sub->size();
    if (x + s.width() > viewport()->width()) x = 0;
    sub->move(x, viewport()->height() - s.height());
    x += s.width();
  }
}

void DKerCli::resizeEvent(QResizeEvent* e) {
  QMdiArea::resizeEvent(e);
  viewport()->repaint();
}

DCli::DCli(QWidget* parent) : DKerCli(parent) {}

void DCli::LoadPicture() {
  picture_tried_ = true;
  QScreen* screen = QGuiApplication::primaryScreen();
  int width = screen ? screen->geometry().width() : 1024;
  picture_file_ = ChooseStartupPicture(Resources().LookupList("BMP"), width,
                                       [](const std::string& f) { return FileExists(f); });
  if (!FileExists(picture_file_) ||
      !picture_.load(QString::fromLocal8Bit(picture_file_.c_str()))) {
    // Told once per run: a box on every paint would bring up a box per repaint.
    WarnCannotOpen(picture_file_);
  }
}

void DCli::paintEvent(QPaintEvent* e) {
  QMdiArea::paintEvent(e);
  if (!picture_tried_) LoadPicture();
  if (picture_.isNull()) return;
  QPainter p(viewport());
  p.drawImage(QPoint(0, 0), picture_);
}

}  // namespace kv
