// The program: the one window and its event loop.

#include <QApplication>

#include "window/form1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  window::Form1 form;  // runs its load step, so the results are in place before it shows
  form.show();
  return QApplication::exec();
}
