#include "app/ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "common/journal.h"

namespace kv {

bool InstallQtTranslations(QCoreApplication* app) {
  const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto* translator = new QTranslator(app);
  if (!translator->load(QString::fromLatin1(kQtTranslation), dir) ||
      !QCoreApplication::installTranslator(translator)) {
    Journal("%s.qm not found in %s", kQtTranslation, dir.toLocal8Bit().constData());
    delete translator;
    return false;
  }
  return true;
}

}  // namespace kv
