// Pictures of the birth-data dialog and the calendar for the documentation:
//   birth_dialog_shots WORKDIR OUTDIR
// WORKDIR holds kvima.t and the fonts; run under a display (xvfb-run).
#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QPainter>
#include <QTimer>

#include "chart/birth/dbirth_data.h"
#include "common/calendar.h"
#include "common/codepage.h"
#include "common/text_resources.h"
#include "common/ui/dkalend.h"
#include "common/ui/message_boxes.h"

// The widget's picture under a plain title bar with its caption (Xvfb has no window
// manager to draw one).
static bool SaveWithCaption(QWidget& w, const QString& path) {
  const QPixmap body = w.grab();
  const int bar = 28;
  QImage img(body.width() + 2, body.height() + bar + 1, QImage::Format_RGB32);
  img.fill(QColor(96, 110, 128));
  QPainter p(&img);
  p.fillRect(QRect(1, 1, img.width() - 2, bar - 1), QColor(52, 73, 102));
  QFont f = w.font();
  f.setPixelSize(14);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(10, 1, img.width() - 20, bar - 1), Qt::AlignVCenter | Qt::AlignLeft,
             w.windowTitle().trimmed());
  p.drawPixmap(1, bar, body);
  p.end();
  return img.save(path);
}

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) return 2;
  const QString work = QString::fromLocal8Bit(argv[1]);
  const QString out = QString::fromLocal8Bit(argv[2]);
  QDir::setCurrent(work);
  for (const char* f : {"atm.ttf", "daycour.ttf"}) QFontDatabase::addApplicationFont(work + "/" + f);
  kv::InstallResourceLookup();
  kv::InstallMessageBoxes();
  kv::Resources().LoadFile(kv::kTextResourceFile);

  kv::BirthValues v;
  v.name = kv::W("Анна Петрова");
  v.day = 14;
  v.month = 3;
  v.year = 1987;
  v.hour = 6;
  v.minute = 25;
  v.correction_h = -3;
  v.place = kv::W("Москва");
  v.lat_packed = 55.45;
  v.lon_packed = 37.37;
  v.sex = 1;
  v.exact_time = true;
  const double jd = kv::DateToJulianDay({14, 3, 1987, 6, 25, 0}) - 3.0 / 24;
  kv::DBirthData dialog(nullptr, v, jd, "a");
  dialog.show();
  dialog.adjustSize();

  kv::DKalend calendar(nullptr, kv::DateTimeRecord{14, 3, 1987, 6, 25, 0});
  calendar.move(dialog.x() + dialog.width() + 40, dialog.y());
  calendar.show();

  QTimer::singleShot(500, [&] {
    bool ok = SaveWithCaption(dialog, out + "/birth-dialog.png");
    ok = SaveWithCaption(calendar, out + "/calendar.png") && ok;
    // A latitude with 99 minutes: OK shows the warning and keeps the dialog as typed.
    calendar.hide();
    dialog.SetEditText(kv::kIdLatitude, "89.99");
    QTimer::singleShot(500, [&, ok]() mutable {
      if (QWidget* box = QApplication::activeModalWidget()) {
        box->move(dialog.x() + 40, dialog.y() + dialog.height() / 3);
        ok = SaveWithCaption(dialog, out + "/birth-refusal.png") && ok;
        ok = SaveWithCaption(*box, out + "/birth-refusal-box.png") && ok;
        box->close();
      } else {
        ok = false;
      }
      app.exit(ok ? 0 : 1);
    });
    dialog.Command(kv::kCmdOk);
  });
  return app.exec();
}
