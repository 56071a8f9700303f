#include "window/qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace window {

bool InstallQtHungarian(QCoreApplication& app) {
  return InstallQtHungarian(app, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool InstallQtHungarian(QCoreApplication& app, const QString& directory) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_hu"), directory) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return false;
  }
  return true;
}

}  // namespace window
