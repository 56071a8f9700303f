#pragma once
// What the window tests share: finding the controls, showing the window active, closing the
// boxes that open, and the start-up texts and results. Every window test also compiles
// support.cpp, which stops a run whose locale was not honoured (see add_window_test).

#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "calc/form_fields.h"

namespace support {

// A Hungarian-notation number text with the decimal separator of the current regional
// settings: "2,16" is "2.16" under English ones.
QString Local(QString text);

// The control with this object name under `form`; a test that asks for a missing one stops.
template <typename T = QWidget>
T* Child(const QWidget& form, const QString& name) {
  T* child = form.findChild<T*>(name);
  if (child == nullptr) qFatal("no control named %s", qPrintable(name));
  return child;
}

// The input field's and the result label's controls, and their texts in field and label order.
QLineEdit* TextBox(const QWidget& form, calc::Field field);
QLabel* Result(const QWidget& form, calc::ResultLabel label);
QStringList Inputs(const QWidget& form);
QStringList Results(const QWidget& form);

// The start-up texts of Text1..Text6, and the results they give (the worked example) in the
// order of calc::kResultLabels, in the current regional settings' notation.
QStringList StartUpInputs();
QStringList StartUpResults();

// A row of the copied results table: heading, value in Hungarian notation, unit.
struct CopiedRow {
  QString heading;
  QString value;  // Local() gives the run's separator
  QString unit;
};

// The copied table at start-up: the header row, the six inputs, then the fourteen results.
const QList<CopiedRow>& StartUpTable();

// The rows as the clipboard must hold them: tab-separated cells in the current regional
// settings' notation, a line feed after each row.
QString Joined(const QList<CopiedRow>& rows);

// Shows the window and waits until it is the active window; fails the test otherwise.
void ShowActive(QWidget& form);

// A modal window as it was when it opened.
struct SeenBox {
  bool isMessageBox = false;
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons standardButtons;
  qsizetype buttonCount = 0;
  int width = 0;               // on screen, in device-independent pixels
  bool modalOverForm = false;  // a modal child of the form
  QStringList inputs;          // the form's, while the box was open
  QStringList results;         // likewise
};

// Closes every modal window as soon as it shows, after noting it and what the form showed
// behind it: a message box by its OK button, anything else by closing it. No test is ever
// left waiting on a box. Watching starts before the form exists, so a box from its load step
// is caught too.
class BoxCloser : public QObject {
 public:
  // `form` gives the window whose texts are noted (nullptr while there is none).
  explicit BoxCloser(std::function<const QWidget*()> form = {});

  const std::vector<SeenBox>& Seen() const { return seen_; }
  QStringList Texts() const;  // of the boxes seen, in order

 private:
  void Poll();

  std::function<const QWidget*()> form_;
  QTimer timer_;
  std::vector<SeenBox> seen_;
};

}  // namespace support
