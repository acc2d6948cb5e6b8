// Qt's own dialogs (file, colour, print) and the window menus speak Russian: the
// translation "qtbase_ru" of the Qt installation is loaded for the whole run.
#pragma once

class QCoreApplication;

namespace kv {

inline constexpr const char* kQtTranslation = "qtbase_ru";

// Loads and installs the translation (owned by the application); false when the
// installation has none (Debian package qt6-translations-l10n), and the dialogs stay
// in English.
bool InstallQtTranslations(QCoreApplication* app);

}  // namespace kv
