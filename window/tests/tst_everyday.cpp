// What a user meets in everyday use: a long value in a narrow box, the copied table after
// edits that were not calculated, the warning box's width and the keypad's decimal key.
// Runs headless; the locale of the run decides the decimal separator.

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <memory>
#include <vector>

#include "calc/form_fields.h"
#include "window/form1.h"
#include "window/tests/support.h"

using support::Child;
using support::Local;
using support::ShowActive;
using window::Form1;

namespace {

QLineEdit* Box(const QWidget& form, const QString& name) {
  return Child<QLineEdit>(form, name);
}

// Replaces a box's text by typing it, as a user does.
void Type(QLineEdit* box, const QString& text) {
  box->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), box);
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(box, Qt::Key_Delete);
  QTest::keyClicks(box, text);
}

// Where the box draws its caret, in its own coordinates. The box works out how far its text
// is scrolled when it paints, so it paints first.
QRect ShownCaret(QLineEdit* box) {
  box->grab();
  return box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
}

// What a tooltip shows for `tip`: markup is drawn, not shown.
QString ShownTip(const QString& tip) {
  if (!Qt::mightBeRichText(tip)) return tip;
  QTextDocument document;
  document.setHtml(tip);
  return document.toPlainText();
}

// Rows of the table by what they hold.
enum TableRow {
  kText1 = 1,
  kText2,
  kText3,
  kFirstResult = 7,
  kGasCo2 = 9,
  kGasNox = 13,
  kGasSo2 = 17
};

// The table as Ctrl+Shift+C puts it on the clipboard, pressed where the user is.
QString CopiedByShortcut() {
  QGuiApplication::clipboard()->clear();
  // After a warning box the window gets the focus back a little later.
  if (!QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; })) {
    return QStringLiteral("<nothing has the focus>");
  }
  QWidget* focus = QApplication::focusWidget();
  QTest::keyClick(focus, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  return QGuiApplication::clipboard()->text();
}

}  // namespace

class EverydayTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void longTextShowsItsStartAway_data();
  void longTextShowsItsStartAway();
  void editingKeepsTheCaretWhereTheUserIs();
  void tooltipCarriesTheWholeText_data();
  void tooltipCarriesTheWholeText();
  void tooltipIsNeverStale();
  void boxWidthIsAsDesigned();
  void copiedInputsAreTheCalculatedOnes();
  void warningBoxIsWideEnoughForItsTitle();
  void keypadDecimalKey_data();
  void keypadDecimalKey();
  void keypadValueIsANumber();

 private:
  std::unique_ptr<Form1> form_;
};

void EverydayTest::init() {
  form_ = std::make_unique<Form1>();
  ShowActive(*form_);
}

void EverydayTest::cleanup() {
  form_.reset();
}

void EverydayTest::longTextShowsItsStartAway_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("typed");  // typed and left by Tab, or set while the box is away

  QTest::newRow("yield, leading digit") << "Text1" << Local("1499,9999") << true;
  QTest::newRow("yield, leading zero") << "Text1" << Local("0,00010000") << true;
  QTest::newRow("gas, narrow box") << "Text3" << Local("119,9999") << true;
  QTest::newRow("area, set while away") << "Text2" << Local("999,99999999") << false;
}

void EverydayTest::longTextShowsItsStartAway() {
  QFETCH(QString, box);
  QFETCH(QString, text);
  QFETCH(bool, typed);
  QLineEdit* edit = Box(*form_, box);
  // Only a text wider than the box can hide its start.
  QVERIFY(edit->fontMetrics().horizontalAdvance(text) > edit->width());

  if (typed) {
    Type(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
    QTRY_VERIFY(!edit->hasFocus());
  } else {
    form_->SetText(box == "Text2" ? calc::Field::Text2 : calc::Field::Text1, text.toStdString());
  }
  QCOMPARE(edit->text(), text);
  QCOMPARE(edit->cursorPosition(), 0);
  // The first character starts at the box's left edge, not scrolled out of it.
  const int start = ShownCaret(edit).center().x();
  QVERIFY2(start >= 0 && start < 8, qPrintable(QStringLiteral("text starts at x %1").arg(start)));
}

void EverydayTest::editingKeepsTheCaretWhereTheUserIs() {
  QLineEdit* edit = Box(*form_, "Text1");
  const QString text = Local("1499,9999");
  Type(edit, text);
  // While typing, the caret and the end of the text are in view, as in any line edit.
  QCOMPARE(edit->cursorPosition(), text.size());
  const int end = ShownCaret(edit).center().x();
  QVERIFY2(end > 8 && end < edit->width(), qPrintable(QStringLiteral("caret at x %1").arg(end)));

  // Another window taking the focus is no leaving: back in this one, the caret is where it
  // was and typing goes on there.
  QTest::keyClick(edit, Qt::Key_Left);
  QTest::keyClick(edit, Qt::Key_Left);
  {
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
  }
  form_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form_.get()));
  QTRY_VERIFY(edit->hasFocus());
  QCOMPARE(edit->cursorPosition(), text.size() - 2);
  QTest::keyClick(edit, Qt::Key_5);
  QCOMPARE(edit->text(), Local("1499,99599"));

  // Back by Shift+Tab, the whole text is selected as usual, and typing replaces it.
  QTest::keyClick(edit, Qt::Key_Tab);
  QTRY_VERIFY(!edit->hasFocus());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  QTRY_VERIFY(edit->hasFocus());
  QCOMPARE(edit->selectedText(), Local("1499,99599"));
  QTest::keyClicks(edit, "7");
  QCOMPARE(edit->text(), QStringLiteral("7"));
}

void EverydayTest::tooltipCarriesTheWholeText_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("wide");

  QTest::newRow("start-up value") << "Text1"
                                  << "600" << false;
  QTest::newRow("fits the box") << "Text3"
                                << "80" << false;
  QTest::newRow("wider than the box") << "Text1" << Local("1499,9999") << true;
  QTest::newRow("wider, narrow box") << "Text6" << Local("59,9999") << true;
  QTest::newRow("looks like markup") << "Text2"
                                     << "<b>1</b><i>2</i><br>34567890" << true;
  QTest::newRow("blanks kept") << "Text4"
                               << "1    2    3    4" << true;
}

void EverydayTest::tooltipCarriesTheWholeText() {
  QFETCH(QString, box);
  QFETCH(QString, text);
  QFETCH(bool, wide);
  QLineEdit* edit = Box(*form_, box);
  Type(edit, text);
  QTest::keyClick(edit, Qt::Key_Tab);
  QTRY_VERIFY(!edit->hasFocus());

  if (!wide) {
    QCOMPARE(edit->toolTip(), QString());
    return;
  }
  QCOMPARE(ShownTip(edit->toolTip()), text);
  // And it is what shows when the mouse rests on the box.
  const QPoint inside(edit->width() / 2, edit->height() / 2);
  QHelpEvent rest(QEvent::ToolTip, inside, edit->mapToGlobal(inside));
  QApplication::sendEvent(edit, &rest);
  QTRY_VERIFY(QToolTip::isVisible());
  QCOMPARE(ShownTip(QToolTip::text()), text);
  QToolTip::hideText();
}

void EverydayTest::tooltipIsNeverStale() {
  QLineEdit* edit = Box(*form_, "Text1");
  Type(edit, Local("1499,9999"));
  QCOMPARE(edit->toolTip(), Local("1499,9999"));
  // Every edit changes it at once, while the box has the focus too.
  QTest::keyClick(edit, Qt::Key_Backspace);
  QCOMPARE(edit->toolTip(), Local("1499,999"));
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(edit, "7");
  QCOMPARE(edit->toolTip(), QString());

  // A tip on the screen goes when its text is no longer the box's.
  Type(edit, Local("1234,56789"));
  const QPoint inside(edit->width() / 2, edit->height() / 2);
  QHelpEvent rest(QEvent::ToolTip, inside, edit->mapToGlobal(inside));
  QApplication::sendEvent(edit, &rest);
  QTRY_VERIFY(QToolTip::isVisible());
  form_->SetText(calc::Field::Text1, "600");
  QCOMPARE(edit->toolTip(), QString());
  QTRY_VERIFY(!QToolTip::isVisible());

  // A text rejected by the check and reset has no tip of the rejected text left.
  support::BoxCloser watcher;
  Type(edit, "ezerotszaz kilowattora");
  QVERIFY(!edit->toolTip().isEmpty());
  Child<QPushButton>(*form_, "Command1")->click();
  QCOMPARE(watcher.Seen().size(), std::size_t{1});
  QCOMPARE(edit->text(), QStringLiteral("600"));
  QCOMPARE(edit->toolTip(), QString());
}

void EverydayTest::boxWidthIsAsDesigned() {
  // A long value changes neither the box's size nor its place.
  for (const char* name : {"Text1", "Text3"}) {
    QLineEdit* edit = Box(*form_, name);
    const QRect geometry = edit->geometry();
    Type(edit, Local("1234567,1234567"));
    QTest::keyClick(edit, Qt::Key_Tab);
    QTRY_VERIFY(!edit->hasFocus());
    QCOMPARE(edit->geometry(), geometry);
  }
}

void EverydayTest::copiedInputsAreTheCalculatedOnes() {
  QPushButton* calculate = Child<QPushButton>(*form_, "Command1");

  // Edited, not calculated: the table still holds what the shown results came from.
  Type(Box(*form_, "Text3"), "50");
  QCOMPARE(CopiedByShortcut(), support::Joined(support::StartUpTable()));

  // Calculated: the new input beside its own results.
  calculate->click();
  QList<support::CopiedRow> gas50 = support::StartUpTable();
  gas50[kText3].value = "50";
  gas50[kGasCo2].value = "0,242";
  gas50[kGasNox].value = "0,324";
  gas50[kGasSo2].value = "0,034";
  Type(Box(*form_, "Text3"), "80");
  QCOMPARE(CopiedByShortcut(), support::Joined(gas50));

  // A rejected field counts with the text it was reset to, not the one typed.
  support::BoxCloser watcher;
  Type(Box(*form_, "Text1"), "sok");
  Type(Box(*form_, "Text2"), "2");
  calculate->click();
  QCOMPARE(watcher.Seen().size(), std::size_t{1});
  QList<support::CopiedRow> area2 =
      support::StartUpTable();  // Text3 went back to 80 before this run
  area2[kText2].value = "2";
  area2[8].value = "4,32";
  const QStringList doubled{"0,302", "1,116", "0,477", "0,691", "0,405", "0,72",
                            "0,493", "1,08",  "0,043", "0,48",  "9,257", "12,24"};
  for (qsizetype i = 0; i < doubled.size(); ++i) area2[kFirstResult + 2 + i].value = doubled[i];
  QCOMPARE(Box(*form_, "Text1")->text(), QStringLiteral("600"));
  QCOMPARE(CopiedByShortcut(), support::Joined(area2));

  // A run that stops with an arithmetic error shows dashes; the table holds that run's inputs
  // beside them, also after a later edit.
  const QString tiny = Local("0,") + QString(323, '0') + '5';
  Type(Box(*form_, "Text3"), tiny);
  calculate->click();
  QCOMPARE(watcher.Seen().size(), std::size_t{2});
  Type(Box(*form_, "Text3"), "80");
  QList<support::CopiedRow> failed = area2;
  failed[kText3].value = tiny;
  for (qsizetype i = kFirstResult; i < failed.size(); ++i) failed[i].value = "–";
  QCOMPARE(CopiedByShortcut(), support::Joined(failed));
}

void EverydayTest::warningBoxIsWideEnoughForItsTitle() {
  support::BoxCloser watcher;
  Type(Box(*form_, "Text3"), "x");     // the shortest message
  Type(Box(*form_, "Text1"), "1500");  // the longest one
  Child<QPushButton>(*form_, "Command1")->click();

  QCOMPARE(watcher.Seen().size(), std::size_t{2});
  const QStringList texts{
      QStringLiteral("A fajlagos energiahozam 0 és 1500 kWh/m2.év között kell legyen!"),
      QStringLiteral("Adjon meg számot!")};
  for (std::size_t i = 0; i < watcher.Seen().size(); ++i) {
    const support::SeenBox& box = watcher.Seen()[i];
    QCOMPARE(box.title, QStringLiteral("HIBÁS ADAT"));
    QCOMPARE(box.text, texts[static_cast<qsizetype>(i)]);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttonCount, 1);
    QCOMPARE(box.standardButtons, QMessageBox::Ok);
    QVERIFY2(box.width >= 240, qPrintable(QStringLiteral("%1 px wide").arg(box.width)));
  }
}

void EverydayTest::keypadDecimalKey_data() {
  QTest::addColumn<Qt::Key>("key");
  QTest::addColumn<bool>("keypad");
  QTest::addColumn<QString>("typed");

  const QString separator = QLocale::system().decimalPoint();
  QTest::newRow("keypad point") << Qt::Key_Period << true << "2" + separator + "5";
  QTest::newRow("keypad comma") << Qt::Key_Comma << true << "2" + separator + "5";
  QTest::newRow("main point") << Qt::Key_Period << false << "2.5";
  QTest::newRow("main comma") << Qt::Key_Comma << false << "2,5";
}

void EverydayTest::keypadDecimalKey() {
  QFETCH(Qt::Key, key);
  QFETCH(bool, keypad);
  QFETCH(QString, typed);
  QLineEdit* edit = Box(*form_, "Text2");
  Type(edit, QString());
  const Qt::KeyboardModifiers modifiers = keypad ? Qt::KeypadModifier : Qt::NoModifier;
  QTest::keyClick(edit, Qt::Key_2, modifiers);
  QTest::keyClick(edit, key, modifiers);
  QTest::keyClick(edit, Qt::Key_5, modifiers);
  QCOMPARE(edit->text(), typed);

  // A selection is replaced, as by any typed character.
  QTest::keyClick(edit, Qt::Key_Left, Qt::ShiftModifier);
  QTest::keyClick(edit, key, modifiers);
  QCOMPARE(edit->text(), typed.left(2) + typed.at(1));
}

void EverydayTest::keypadValueIsANumber() {
  // 2.5 m² typed on the keypad alone is read as two and a half, under either separator.
  support::BoxCloser watcher;
  QLineEdit* edit = Box(*form_, "Text2");
  Type(edit, QString());
  for (const Qt::Key key : {Qt::Key_2, Qt::Key_Period, Qt::Key_5}) {
    QTest::keyClick(edit, key, Qt::KeypadModifier);
  }
  Child<QPushButton>(*form_, "Command1")->click();
  QCOMPARE(watcher.Seen().size(), std::size_t{0});
  QCOMPARE(Child<QLabel>(*form_, "Label39")->text(), Local("5,4"));
}

QTEST_MAIN(EverydayTest)
#include "tst_everyday.moc"
