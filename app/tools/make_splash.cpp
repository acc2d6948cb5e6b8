// make-splash: draws the start-up picture "kvima.bmp" (an 8-bit BMP) that the empty
// MDI client shows. Run by hand when the picture is to change; the result is kept in data/.
#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) return 2;
  const int w = 640, h = 420;
  QImage img(w, h, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient sky(w / 2, h / 2, w * 0.7);
  sky.setColorAt(0, QColor(34, 44, 92));
  sky.setColorAt(1, QColor(8, 10, 30));
  p.fillRect(img.rect(), sky);
  // A few fixed stars.
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 140; ++i) {
    int x = (i * 7919) % w, y = (i * 104729 + i * i * 31) % h;
    p.setBrush(QColor(255, 255, 255, 60 + (i * 37) % 160));
    p.drawEllipse(QPointF(x, y), 0.6 + (i % 3) * 0.5, 0.6 + (i % 3) * 0.5);
  }
  // The zodiac ring, coloured by element: fire, earth, air, water.
  const QColor element[4] = {QColor(214, 78, 60), QColor(96, 160, 72), QColor(232, 196, 72),
                             QColor(72, 128, 214)};
  const QPointF c(w / 2.0, h / 2.0 - 20);
  const double r1 = 150, r2 = 118;
  for (int s = 0; s < 12; ++s) {
    QPainterPath sector;
    double a0 = 180 - 30.0 * s, a1 = a0 - 30;
    sector.arcMoveTo(QRectF(c.x() - r1, c.y() - r1, 2 * r1, 2 * r1), a0);
    sector.arcTo(QRectF(c.x() - r1, c.y() - r1, 2 * r1, 2 * r1), a0, -30);
    sector.arcTo(QRectF(c.x() - r2, c.y() - r2, 2 * r2, 2 * r2), a1, 30);
    sector.closeSubpath();
    QColor fill = element[s % 4];
    fill.setAlpha(150);
    p.setBrush(fill);
    p.setPen(QPen(QColor(240, 240, 255), 1.2));
    p.drawPath(sector);
    double mid = qDegreesToRadians(a0 - 15);
    QPointF g(c.x() + (r1 + r2) / 2 * qCos(mid), c.y() - (r1 + r2) / 2 * qSin(mid));
    QFont f("DejaVu Sans", 15);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(g.x() - 14, g.y() - 14, 28, 28), Qt::AlignCenter,
               QString(QChar(0x2648 + s)));
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(240, 240, 255, 120), 1));
  for (int k = 0; k < 6; ++k) {
    double a = qDegreesToRadians(30.0 * k + 10);
    p.drawLine(QPointF(c.x() + r2 * qCos(a), c.y() - r2 * qSin(a)),
               QPointF(c.x() - r2 * qCos(a), c.y() + r2 * qSin(a)));
  }
  p.setPen(QColor(250, 250, 255));
  p.setFont(QFont("DejaVu Serif", 30, QFont::Bold));
  p.drawText(QRectF(0, h - 86, w, 44), Qt::AlignCenter, "Kvimarot");
  p.setFont(QFont("DejaVu Sans", 12));
  p.setPen(QColor(200, 206, 240));
  p.drawText(QRectF(0, h - 44, w, 28), Qt::AlignCenter,
             QString::fromUtf8("Астрологическая рабочая станция"));
  p.end();
  return img.convertToFormat(QImage::Format_Indexed8).save(argv[1], "BMP") ? 0 : 1;
}
