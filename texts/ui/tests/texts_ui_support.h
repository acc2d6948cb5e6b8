// What the window tests of the texts subsystem share: a scratch working folder, files
// written in code page 866, a text lookup of their own, the services pointed at the
// folder, and the messages, notices and save dialogs the code under test shows.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/journal.h"
#include "common/messages.h"
#include "common/ui/dial.h"
#include "texts/ui/text_services.h"
#include "texts/ui/text_windows.h"

namespace kv::test {

inline std::vector<std::string>& Warnings() {
  static std::vector<std::string> w;
  return w;
}
inline void CaptureWarning(const std::string& t) { Warnings().push_back(t); }

inline std::vector<std::string>& Notices() {
  static std::vector<std::string> n;
  return n;
}

// The texts the windows look up, as the shipped resources have them.
inline std::string LookupText(std::string_view key) {
  static const std::map<std::string, std::string, std::less<>> table = {
      {"OCH", W("OK/Отмена/Помощь")},
      {"Shr", W("Day New/DejaVu Sans Mono/DejaVu Serif")},
      {"ZOD", W("Овен/Телец/Близнецы/Рак/Лев/Дева/Весы/Скорпион/Стрелец/Козерог/Водолей/Рыбы")},
      {"ZODp", W("Овне/Тельце/Близнецах/Раке/Льве/Деве/Весах/Скорпионе/Стрельце/Козероге/Водолее/Рыбах")},
      {"HOM", W("I дом/II дом/III дом/IV дом/V дом/VI дом/VII дом/VIII дом/IX дом/X дом/XI дом/XII дом")},
      {"PL", W("Солнце/Луна/Меркурий/Венера/Марс/Юпитер/Сатурн/Уран/Нептун/Плутон/Северный узел/"
               "Селена/Хирон/Прозерпина/Лилит/Южный узел")},
      {"P-H", W("Солнце/Луна/Меркурий/Венера/Марс/Юпитер/Сатурн/Уран/Нептун/Плутон/В.Узел/Селена/"
                "Хирон/Прозерпина/Лилит/Н.Узел")},
      {"Z", W("Первая строка знаков./Вторая строка знаков.")},
      {"H", W("Дома делят небо./Вторая строка домов.")},
      {"NoKr", W("Нет открытых карт.")},
      {"IntTtl", W("Натальная интерпретация: %s")},
      {"IntWin", W("Интерпретация - %s")},
      {"HlpTtl", W("Помощь: %s")},
      {"EdTtl", W("Редактор текста - %s")},
      {"FBig", W("Файл слишком велик")},
      {"PrnPdf", W("Принтера нет: текст записан в файл PDF '%s'.")},
      {"SaveTtl", W("Введи имя файла")},
      {"SaveFlt", W("Текстовые (*.txt)|*.txt|Все файлы (*.*)|*.*|")},
      {"FnoIX", W("Текст с ключом '%s' не найден в файлах коллекции.")},
      {"tmp", W("Не удаётся создать временный файл в рабочем каталоге.")},
  };
  auto it = table.find(key);
  return it == table.end() ? std::string(key) : it->second;
}

inline void EnsureFonts() {
  static bool done = false;
  if (done) return;
  done = true;
  QFontDatabase::addApplicationFont(QStringLiteral(KV_WORKDIR "/atm.ttf"));
  QFontDatabase::addApplicationFont(QStringLiteral(KV_WORKDIR "/daycour.ttf"));
}

// UTF-8 text as the build writes the 866 files: through 1251 and the pairing of the
// two pages, so quotes and dashes come back.
inline std::string To866(const std::string& utf8) { return Cp1251ToCp866(Utf8ToCp1251(utf8)); }

// Colours the tests look for: black text, pure red links, white background.
inline constexpr uint32_t kTestText = 0x000000, kTestLink = 0x0000FF, kTestBackground = 0xFFFFFF;

// A scratch working folder with the services pointed at it. The save dialog answers
// with `save_answer`; notices and warnings are collected.
class ScratchWorkdir {
 public:
  ScratchWorkdir() {
    EnsureFonts();
    path_ = std::filesystem::path(dir_.path().toStdString());
    SetJournalPath((path_ / "jur.jur").string());
    SetMessageSink({&CaptureWarning, &CaptureWarning});
    SetTextLookup(&LookupText);
    Warnings().clear();
    Notices().clear();
    TextServices s;
    s.workdir = path_;
    s.window_settings = [this] { return settings; };
    s.interpretation_options = [this] { return options; };
    s.save_file = [this](QWidget*, const QString& caption, const QString& preset, const QString& filters) {
      save_caption = caption;
      save_preset = preset;
      save_filters = filters;
      return save_answer;
    };
    s.no_printer = [] { return true; };
    s.inform = [](QWidget*, const std::string& text) { Notices().push_back(text); };
    SetTextServices(std::move(s));
    SetHelpOpener([](QWidget* requester, const std::string& key) { OpenHelpWindow(requester, key); });
    settings.text_colour = kTestText;
    settings.link_colour = kTestLink;
    settings.background = kTestBackground;
    settings.face = "DejaVu Sans Mono";
    options.lp = {0xFFFF, 3, 0xFFFF};
  }
  ~ScratchWorkdir() {
    SetHelpOpener(nullptr);
    SetTextServices({});
    SetJournalPath(kJournalFile);
  }

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  // UTF-8 lines written in code page 866, each ended by a line feed.
  void Write866(const std::string& name, std::initializer_list<std::string> lines) const {
    std::string bytes;
    for (const std::string& l : lines) bytes += To866(l) + "\n";
    WriteBytes(name, bytes);
  }
  // UTF-8 lines written in code page 1251 (a shown output file).
  void Write1251(const std::string& name, std::initializer_list<std::string> lines) const {
    std::string bytes;
    for (const std::string& l : lines) bytes += Utf8ToCp1251(l) + "\n";
    WriteBytes(name, bytes);
  }
  void WriteBytes(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }
  std::string ReadBytes(const std::filesystem::path& p) const {
    std::ifstream in(p.is_absolute() ? p : path_ / p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  TextWindowSettings settings;
  InterpretationOptions options;
  QString save_answer;
  QString save_caption, save_preset, save_filters;

 private:
  QTemporaryDir dir_;
  std::filesystem::path path_;
};

// Top-level windows of a kind that are open now.
template <class W>
std::vector<W*> OpenWindows() {
  std::vector<W*> out;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* x = qobject_cast<W*>(w); x && x->isVisible()) out.push_back(x);
  return out;
}

// Closes every top-level window a test left open.
inline void CloseAllWindows() {
  for (QWidget* w : QApplication::topLevelWidgets()) w->close();
  QApplication::processEvents();
}

}  // namespace kv::test
