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
#include "common/ui/tests/caption_shot.h"

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
    bool ok = kv::test::SaveWithCaption(dialog, out + "/birth-dialog.png");
    ok = kv::test::SaveWithCaption(calendar, out + "/calendar.png") && ok;
    // A latitude with 99 minutes: OK shows the warning and keeps the dialog as typed.
    calendar.hide();
    dialog.SetEditText(kv::kIdLatitude, "89.99");
    QTimer::singleShot(500, [&, ok]() mutable {
      if (QWidget* box = QApplication::activeModalWidget()) {
        box->move(dialog.x() + 40, dialog.y() + dialog.height() / 3);
        ok = kv::test::SaveWithCaption(dialog, out + "/birth-refusal.png") && ok;
        ok = kv::test::SaveWithCaption(*box, out + "/birth-refusal-box.png") && ok;
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
