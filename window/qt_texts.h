#pragma once
// Qt's own texts (a text box's context menu, message box buttons) in the window's language.

#include <QString>

class QCoreApplication;

namespace window {

// Installs Qt's Hungarian translation (qtbase_hu.qm in Qt's translations folder) on `app`
// whatever the user's language, so no text Qt draws in the window is English. Returns false and
// installs nothing when the file is missing or unreadable; the program then runs with Qt's
// English texts.
bool InstallQtHungarian(QCoreApplication& app);

// The same with qtbase_hu.qm read from `directory`. The translator is a child of `app`.
bool InstallQtHungarian(QCoreApplication& app, const QString& directory);

}  // namespace window
