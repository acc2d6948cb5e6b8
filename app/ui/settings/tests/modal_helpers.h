// Acting on a modal dialog from inside its own event loop: the action runs once the
// dialog that `exec` shows is the active modal widget.
#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

namespace kv::test {

template <class D>
void WhenModal(std::function<void(D*)> act) {
  QTimer::singleShot(0, [act] {
    if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) act(d);
  });
}

}  // namespace kv::test
