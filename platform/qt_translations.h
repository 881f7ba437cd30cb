// qt_translations.h — Qt's own texts in Japanese.
//
// The organizer's texts are Japanese in the code.  The texts Qt itself words — the standard
// buttons ("Cancel", "Yes"), the file dialogs, the context menus of edits — come from Qt's
// translation catalogue "qtbase_ja" in Qt's translations folder (Debian package
// qt6-translations-l10n).  Texts the catalogue does not know, ours among them, pass through
// as they are.
#pragma once

class QCoreApplication;

namespace platform {

// Installs the catalogue into `app` once (later calls do nothing) and makes Japanese the
// default locale (dates and sizes in the file dialogs).  False when the catalogue is not
// installed: Qt's texts then stay English and everything else works as before.
bool InstallQtTranslations(QCoreApplication& app);

// The installed catalogue's object name, for tests that take it out again.
inline constexpr char kQtTranslatorName[] = "yk_qt_translations";

}  // namespace platform
