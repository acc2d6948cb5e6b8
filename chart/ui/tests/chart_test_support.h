// What the chart UI tests share: an application object, the program's fonts and a
// hand-made chart.
#pragma once

#include <QApplication>
#include <QFontDatabase>
#include <QImage>
#include <cmath>

#include "chart/record/chart_record.h"

namespace kv::test {

inline void EnsureApp() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char arg0[] = "chart_ui_tests";
  static char* argv[] = {arg0, nullptr};
  new QApplication(argc, argv);
  QFontDatabase::addApplicationFont(QStringLiteral(KV_WORKDIR "/atm.ttf"));
  QFontDatabase::addApplicationFont(QStringLiteral(KV_WORKDIR "/daycour.ttf"));
}

// Bodies 20 degrees apart from 5 degrees on, cusps every 30 degrees from `first_cusp`.
inline ChartRecord SampleChart(double first_cusp = 10.0) {
  ChartRecord rec = DefaultChartRecord();
  for (int i = 1; i <= kBodyCount; ++i) {
    rec.lon[i] = 5.0 + 20.0 * (i - 1);
    rec.speed[i] = 1.0;
  }
  for (int k = 0; k < 12; ++k) rec.lon[kFirstCusp + k] = std::fmod(first_cusp + 30.0 * k, 360.0);
  rec.house_system = 3;
  rec.jd_local = rec.jd_ut = rec.jd_calc = 2451545.0;
  SetChartText(rec.name, "Sample");
  return rec;
}

// Windows RGB 0x00BBGGRR as the QImage pixel it paints.
inline QRgb Pixel(uint32_t rgb) { return qRgb(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF); }

inline int CountPixels(const QImage& img, QRect box, QRgb colour) {
  int n = 0;
  box = box.intersected(img.rect());
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x)
      if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
  return n;
}

}  // namespace kv::test
