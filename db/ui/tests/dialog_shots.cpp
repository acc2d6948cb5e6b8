// Pictures of the catalogue (36 cards, a name search typed) and of the card dialog
// for the documentation:
//   db_dialog_shots WORKDIR OUTDIR
// WORKDIR holds kvima.t and shembd.ctl; runs offscreen or under a display.
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPainter>

#include "common/codepage.h"
#include "common/messages.h"
#include "common/text_resources.h"
#include "common/ui/qt_text.h"
#include "common/ui/tests/caption_shot.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "db/ui/card_fields.h"
#include "db/ui/card_store.h"
#include "db/ui/dbasa.h"
#include "db/ui/dcorr.h"

namespace {

struct Person {
  const char* name;
  const char* date;
  const char* time;
  const char* town;
  const char* lat;
  const char* lon;
  const char* corr;
  int sex;
};

const Person kPeople[] = {
    {"Абрамова Ольга", "12.04.1961", "09:15:00", "Москва", "55.45", "37.37", "-3", 1},
    {"Белов Игорь", "03.11.1974", "23:40:00", "Тверь", "56.52", "35.55", "-3", 0},
    {"Васильева Нина", "28.02.1950", "06:05:00", "Казань", "55.47", "49.08", "-3", 1},
    {"Громов Павел", "17.07.1988", "14:20:00", "Самара", "53.12", "50.09", "-4", 0},
    {"Дмитриева Анна", "09.09.1999", "02:55:00", "Пермь", "58.01", "56.15", "-5", 1},
    {"Ёлкин Степан", "21.12.1933", "12:00:00", "Вологда", "59.13", "39.54", "-3", 0},
    {"Жукова Вера", "30.05.1968", "17:45:00", "Омск", "54.59", "73.22", "-6", 1},
    {"Зайцев Олег", "14.01.1981", "08:30:00", "Тула", "54.12", "37.37", "-3", 0},
    {"Иванова Мария", "05.03.1961", "14:07:00", "Москва", "55.45", "37.37", "-3", 1},
    {"Иванов Сергей", "22.08.1957", "04:10:00", "Рязань", "54.38", "39.44", "-4", 0},
    {"Ковалёва Ирина", "11.10.1992", "19:25:00", "Курск", "51.44", "36.11", "-3", 1},
    {"Козлов Андрей", "01.06.1945", "10:00:00", "Орёл", "52.58", "36.05", "-4", 0},
    {"Кузнецова Елена", "16.11.1979", "21:35:00", "Брянск", "53.15", "34.22", "-3", 1},
    {"Лебедев Николай", "07.02.1936", "05:50:00", "Псков", "57.49", "28.20", "-3", 0},
    {"Макарова Юлия", "25.04.1985", "13:15:00", "Уфа", "54.44", "55.58", "-5", 1},
    {"Морозов Виктор", "19.09.1971", "16:05:00", "Иркутск", "52.17", "104.18", "-8", 0},
    {"Никитина Дарья", "02.12.2003", "03:20:00", "Томск", "56.30", "84.58", "-7", 1},
    {"Орлов Григорий", "29.08.1927", "11:11:00", "Кострома", "57.46", "40.56", "-3", 0},
    {"Павлова Татьяна", "13.05.1966", "07:40:00", "Калуга", "54.31", "36.16", "-3", 1},
    {"Петров Алексей", "08.03.1990", "22:15:00", "Смоленск", "54.47", "32.03", "-3", 0},
    {"Романова Светлана", "10.10.1955", "15:30:00", "Ярославль", "57.37", "39.52", "-3", 1},
    {"Семёнов Борис", "26.01.1948", "09:55:00", "Тамбов", "52.43", "41.26", "-3", 0},
    {"Смирнова Галина", "31.07.1983", "18:20:00", "Мурманск", "68.58", "33.05", "-3", 1},
    {"Соколов Артём", "04.04.2001", "06:45:00", "Сочи", "43.35", "39.43", "-3", 0},
    {"Тихонова Алла", "15.06.1977", "12:35:00", "Пенза", "53.12", "45.00", "-3", 1},
    {"Уткин Фёдор", "23.03.1939", "01:05:00", "Киров", "58.36", "49.40", "-3", 0},
    {"Фролова Лидия", "18.12.1958", "20:00:00", "Липецк", "52.37", "39.36", "-3", 1},
    {"Харитонов Егор", "06.08.1995", "10:40:00", "Чита", "52.02", "113.30", "-9", 0},
    {"Цветкова Зоя", "27.11.1964", "04:25:00", "Архангельск", "64.34", "40.32", "-3", 1},
    {"Чернов Илья", "12.02.1987", "23:05:00", "Воронеж", "51.40", "39.12", "-3", 0},
    {"Шубина Раиса", "09.07.1942", "08:15:00", "Саратов", "51.32", "46.02", "-4", 1},
    {"Щукин Леонид", "20.10.1973", "17:10:00", "Белгород", "50.36", "36.35", "-3", 0},
    {"Эрдман Роза", "03.01.1953", "13:50:00", "Калининград", "54.43", "20.30", "-2", 1},
    {"Юдин Максим", "24.05.2010", "05:30:00", "Тюмень", "57.09", "65.32", "-5", 0},
    {"Яковлева Ксения", "01.09.1997", "15:00:00", "Владимир", "56.08", "40.25", "-3", 1},
    {"Яшин Денис", "11.11.1911", "11:00:00", "Нижний Новгород", "56.20", "44.00", "-3", 0},
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) return 2;
  const QString work = QString::fromLocal8Bit(argv[1]);
  const QString out = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
  QDir::setCurrent(work);
  kv::InstallResourceLookup();
  kv::Resources().LoadFile(kv::kTextResourceFile);
  kv::db::LoadSchema(kv::db::kSchemaFile);

  const QString scratch = QDir::tempPath() + QStringLiteral("/kv-db-shots");
  QDir(scratch).removeRecursively();
  QDir().mkpath(scratch);
  kv::DatabaseSession session;
  session.name = kv::ToCp1251(scratch + QStringLiteral("/клиенты"));
  if (!kv::cards::CreateDatabase(session.name).ok()) return 1;
  for (const Person& p : kPeople) {
    kv::db::FieldArray c;
    c[kv::cards::kFieldName] = kv::Utf8ToCp1251(p.name);
    c[kv::cards::kFieldDate] = p.date;
    c[kv::cards::kFieldTime] = p.time;
    c[kv::cards::kFieldTown] = kv::Utf8ToCp1251(p.town);
    c[kv::cards::kFieldLatitude] = p.lat;
    c[kv::cards::kFieldLongitude] = p.lon;
    c[kv::cards::kFieldCorrection] = p.corr;
    c[kv::cards::kFieldSex] = std::to_string(p.sex);
    std::string key;
    if (kv::cards::AddCard(session.name, c, &key) != kv::cards::Outcome::kDone) return 1;
  }
  // The caption shows the name as a user keeps it, relative to the working directory.
  const std::string shown_name = kv::Utf8ToCp1251("клиенты");

  session.remembered_line = 4;
  bool ok = true;
  {
    kv::DBasa basa(nullptr, session, kv::cards::LoadCatalogue(session.name), false);
    basa.setWindowTitle(kv::FromCp1251(kv::FormatKey("DBasaC", shown_name)));
    basa.resize(720, 520);
    basa.show();
    QApplication::processEvents();
    for (const QChar c : QString::fromUtf8("Ко")) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(basa.List(), &press);
    }
    QApplication::processEvents();
    QApplication::processEvents();
    ok = kv::test::SaveWithCaption(basa, out + QStringLiteral("/catalogue.png")) && ok;
  }
  {
    kv::db::FieldArray card;
    kv::cards::ReadCard(session.name, ".000009", card);
    kv::DCorr corr(nullptr, card, nullptr);
    corr.show();
    QApplication::processEvents();
    ok = kv::test::SaveWithCaption(corr, out + QStringLiteral("/card-dialog.png")) && ok;
  }
  QDir(scratch).removeRecursively();
  return ok ? 0 : 1;
}
