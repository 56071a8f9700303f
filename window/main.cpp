// The program: the one window and its event loop.

#include <QApplication>

#include "window/form1.h"
#include "window/qt_texts.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // Names the desktop entry, so docks and task switchers show the window with its name and icon.
  QGuiApplication::setDesktopFileName(QString::fromUtf8(TARQUEN_APP_ID));
  window::InstallQtHungarian(app);  // without the file Qt's own texts stay English
  window::Form1 form;  // runs its load step, so the results are in place before it shows
  form.show();
  return QApplication::exec();
}
