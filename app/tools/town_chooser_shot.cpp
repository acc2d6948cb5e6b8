// The town chooser on the built towns database, the way a user reaches it:
//   town-chooser-shot WORKDIR OUTDIR
// Opens the birth-data dialog on 27.03.2011 12:00 (Russia's last change of clocks),
// presses "Города...", types "Сам" letter by letter and saves the chooser
// (OUTDIR/town-chooser.png); then takes Москва and saves the birth-data dialog with the
// note beside its correction (OUTDIR/birth-town-note.png). Prints the time from the
// button to the chooser's first full paint and of each keystroke (search, selection,
// its correction, full repaint). Runs under a display or offscreen.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <ctime>

#include "app/compose/towns_wiring.h"
#include "chart/birth/dbirth_data.h"
#include "common/calendar.h"
#include "common/codepage.h"
#include "common/text_resources.h"
#include "common/ui/message_boxes.h"
#include "common/ui/tests/caption_shot.h"
#include "db/schema/schema.h"
#include "towns/ui/dvtown.h"

namespace {

void Type(QWidget* w, QChar c) {
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
  QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
  QApplication::sendEvent(w, &press);
  QApplication::sendEvent(w, &release);
}

double Ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

// The process's own CPU time: on a busy machine the wall clock also counts the others.
double CpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

}  // namespace

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
  (void)kv::db::LoadSchema();
  kv::ConnectTownChooser();

  kv::BirthValues v;
  v.name = kv::W("Анна Петрова");
  v.day = 27;
  v.month = 3;
  v.year = 2011;
  v.hour = 12;
  v.exact_time = true;
  const double jd = kv::DateToJulianDay({27, 3, 2011, 12, 0, 0});
  kv::DBirthData birth(nullptr, v, jd, "a");
  birth.show();
  birth.adjustSize();

  bool ok = true;
  QElapsedTimer since_button;
  double cpu_at_button = 0;
  QTimer::singleShot(300, [&] {
    QTimer::singleShot(0, [&] {
      auto* chooser = qobject_cast<kv::towns::DVTown*>(QApplication::activeModalWidget());
      if (!chooser) {
        ok = false;
        return;
      }
      chooser->grab();
      std::printf("opening: %.1f ms (CPU %.1f ms), %zu towns in the list\n", Ms(since_button),
                  CpuMs() - cpu_at_button, chooser->List().size());
      auto* search = chooser->ControlAs<QLineEdit>(kv::towns::kIdTownSearch);
      for (QChar c : QString::fromUtf8("Сам")) {
        QElapsedTimer t;
        t.start();
        const double cpu = CpuMs();
        Type(search, c);
        chooser->grab();
        std::printf("keystroke '%s': %.2f ms (CPU %.2f ms), line %s\n",
                    QString(c).toUtf8().constData(), Ms(t), CpuMs() - cpu,
                    chooser->CounterText().c_str());
      }
      ok = kv::test::SaveWithCaption(*chooser, out + "/town-chooser.png") && ok;
      search->clear();
      for (QChar c : QString::fromUtf8("москва")) Type(search, c);
      chooser->ControlAs<QPushButton>(kv::kCmdOk)->click();
    });
    since_button.start();
    cpu_at_button = CpuMs();
    birth.TownsButton()->click();
    QTimer::singleShot(300, [&] {
      ok = kv::test::SaveWithCaption(birth, out + "/birth-town-note.png") && ok;
      app.exit(ok ? 0 : 1);
    });
  });
  return app.exec();
}
