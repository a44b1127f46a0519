// Qt's own translations (standard buttons, file dialogs, context menus of
// edit fields) for a locale. Our captions are Japanese in the source and need
// none of this; only the texts Qt draws itself do.
#ifndef PARVANE_APP_TRANSLATIONS_H_
#define PARVANE_APP_TRANSLATIONS_H_

#include <QLocale>

class QCoreApplication;

namespace parvane {

// Loads "qtbase" for locale from Qt's translations folder (Debian:
// qt6-translations-l10n) and installs it into app. Returns true when a
// translation was found and installed; false for an English locale or when
// the package is missing, in which case Qt's English texts stay.
bool InstallQtTranslations(QCoreApplication* app, const QLocale& locale);

}  // namespace parvane

#endif  // PARVANE_APP_TRANSLATIONS_H_
