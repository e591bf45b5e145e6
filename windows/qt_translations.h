#pragma once
// Qt's own texts (context menus, standard dialogs) in Russian, as the rest of the program is.
class QCoreApplication;

namespace windows {

// Loads qtbase_ru from Qt's translations folder and installs it into app, which owns it.
// Returns false when the translation is not installed; Qt's texts then stay in English.
bool InstallQtTranslations(QCoreApplication& app);

}  // namespace windows
