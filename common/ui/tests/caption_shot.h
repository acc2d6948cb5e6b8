// Pictures of dialogs for the documentation: offscreen and Xvfb have no window manager
// to draw a title bar, so the picture gets a plain one with the window's caption.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace kv::test {

// The widget's picture in a one-pixel frame, under the title bar when `caption` is set.
inline bool SaveWithCaption(QWidget& w, const QString& path, bool caption = true) {
  const QPixmap body = w.grab();
  const int bar = caption ? 28 : 1;
  QImage img(body.width() + 2, body.height() + bar + 1, QImage::Format_RGB32);
  img.fill(QColor(96, 110, 128));
  QPainter p(&img);
  if (caption) {
    p.fillRect(QRect(1, 1, img.width() - 2, bar - 1), QColor(52, 73, 102));
    QFont f = w.font();
    f.setPixelSize(14);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(10, 1, img.width() - 20, bar - 1), Qt::AlignVCenter | Qt::AlignLeft,
               w.windowTitle().trimmed());
  }
  p.drawPixmap(1, bar, body);
  p.end();
  return img.save(path);
}

}  // namespace kv::test
