#include "app/compose/paint_timing.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <string>

#include "common/timing.h"

namespace kv {
namespace {

// The child window (an MDI child or a free-standing text window) a painted widget
// belongs to, or null.
QWidget* ChildWindowOf(QWidget* w) {
  for (; w; w = w->parentWidget())
    if (w->inherits("kv::DKerChild") || w->inherits("kv::EText")) return w;
  return nullptr;
}

class FirstPaintWatcher : public QObject {
 public:
  explicit FirstPaintWatcher(QWidget* frame) : QObject(frame), frame_(frame) {}

  bool eventFilter(QObject* obj, QEvent* e) override {
    if (e->type() != QEvent::Paint || !obj->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(obj);
    if (!frame_seen_ && w->window() == frame_) {
      frame_seen_ = true;
      MarkAfterPaint("frame-painted");
    }
    QWidget* child = ChildWindowOf(w);
    if (child && !seen_.contains(child)) {
      seen_.insert(child);
      const std::string what = std::string("window-painted ") + child->metaObject()->className() +
                               " " + child->windowTitle().toStdString();
      MarkAfterPaint(what);
    }
    return false;
  }

 private:
  // The paint itself runs after the filter; the mark waits for the next turn of the loop.
  static void MarkAfterPaint(const std::string& what) {
    QTimer::singleShot(0, [what] { MarkTiming(what.c_str()); });
  }

  QWidget* frame_;
  bool frame_seen_ = false;
  QSet<QWidget*> seen_;
};

}  // namespace

void WatchFirstPaints(QWidget* frame) {
  if (!TimingEnabled() || !frame) return;
  qApp->installEventFilter(new FirstPaintWatcher(frame));
}

}  // namespace kv
