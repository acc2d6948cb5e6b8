#include "app/ui/fonts.h"

#include <QFontDatabase>
#include <vector>

#include "common/messages.h"

namespace kv {
namespace {
std::vector<int> g_font_ids;
}

void InstallProgramFonts() {
  RemoveProgramFonts();
  for (const char* file : {"atm.ttf", "daycour.ttf"}) {
    int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    if (id < 0) WarningFormat("NoF%s", file);
    else g_font_ids.push_back(id);
  }
}

void RemoveProgramFonts() {
  for (int id : g_font_ids) QFontDatabase::removeApplicationFont(id);
  g_font_ids.clear();
}

}  // namespace kv
