#include "common/ui/dkerchild.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <cstdio>

#include "common/ui/menu_builder.h"
#include "common/ui/picture_export.h"
#include "common/ui/window_hooks.h"

namespace kv {
namespace {
DKerChild* g_active_child = nullptr;
}

DKerChild* ActiveChild() { return g_active_child; }

DKerChild::DKerChild(const QString& title, std::string context_key, std::string help_topic,
                     QWidget* parent)
    : QWidget(parent),
      context_key_(context_key.substr(0, 8)),
      help_topic_(help_topic.substr(0, 8)) {
  setWindowTitle(title);
  setAttribute(Qt::WA_DeleteOnClose);
  setFocusPolicy(Qt::StrongFocus);
}

DKerChild::~DKerChild() {
  if (!own_file_.empty()) std::remove(own_file_.c_str());
  if (g_active_child == this) g_active_child = nullptr;
}

QMdiSubWindow* DKerChild::ShowIn(QMdiArea* area, bool inverse_maximise) {
  QMdiSubWindow* sub = area->addSubWindow(this);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  bool maximise = MaximiseChildren() != inverse_maximise;
  if (maximise) sub->showMaximized();
  else sub->show();
  setFocus();
  return sub;
}

void DKerChild::Command(int id) {
  if (id == kCmdCopyPicture) QApplication::clipboard()->setImage(ClientPicture());
  if (id == kCmdSavePicture) SavePicture(this, [this] { return ClientPicture(); });
}

QImage DKerChild::ClientPicture() { return grab().toImage(); }

void DKerChild::contextMenuEvent(QContextMenuEvent* e) {
  if (context_key_.empty()) return;
  PopupMenuFromEntry(context_key_, e->globalPos(), [this](int id) { Command(id); });
}

void DKerChild::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_F1 && !help_topic_.empty()) {
    emit HelpRequested(QString::fromStdString(help_topic_));
    OpenHelp(this, help_topic_);
    return;
  }
  QWidget::keyPressEvent(e);
}

void DKerChild::resizeEvent(QResizeEvent* e) {
  has_focus_ = true;
  QWidget::resizeEvent(e);
  update();
}

void DKerChild::focusInEvent(QFocusEvent* e) {
  g_active_child = this;
  has_focus_ = true;
  emit Activated(this);
  QWidget::focusInEvent(e);
}

void DKerChild::focusOutEvent(QFocusEvent* e) {
  has_focus_ = false;
  QWidget::focusOutEvent(e);
}

}  // namespace kv
