#pragma once

class QCoreApplication;
class QTranslator;

namespace velanote {

// Loads Qt's own Simplified Chinese texts (file dialog captions, edit menus, default titles) into
// `app`, so the dialogs Qt draws read like the rest of the program. Returns the installed
// translator, owned by `app`, or nullptr when Qt's translations are not installed.
QTranslator* installQtChineseTranslations(QCoreApplication& app);

} // namespace velanote
