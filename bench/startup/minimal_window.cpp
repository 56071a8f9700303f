// The floor for the start-up benchmark: the least a Qt Widgets program showing text in a
// window of the main window's size costs. One label, nothing else.

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app{argc, argv};
  QWidget window;
  window.setWindowTitle(QStringLiteral("Minimal"));
  window.setFixedSize(492, 584);
  auto* layout = new QVBoxLayout{&window};
  layout->addWidget(new QLabel{QStringLiteral("Minimális ablak"), &window}, 0, Qt::AlignCenter);
  window.show();
  return QApplication::exec();
}
