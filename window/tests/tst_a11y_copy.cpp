// What the window offers beyond its look: the names a screen reader reads, the emission
// factors behind the carrier labels, and the results copied as a table for a spreadsheet.
// Runs headless; the locale of the run decides the decimal separator.

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "window/form1.h"
#include "window/tests/support.h"

using support::Child;
using support::Local;
using support::ShowActive;
using window::Form1;

namespace {

QString AccessibleText(QWidget* widget, QAccessible::Text text) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
  return iface != nullptr ? iface->text(text) : QStringLiteral("<no interface>");
}

QAccessible::Role AccessibleRole(QWidget* widget) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
  return iface != nullptr ? iface->role() : QAccessible::NoRole;
}

}  // namespace

class A11yCopyTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void everyControlAUserReachesHasAName();
  void resultNamesFollowTheValues();
  void rolesOfTheBoxes();
  void carrierTooltips();
  void copyByShortcut_data();
  void copyByShortcut();
  void copyByContextMenu_data();
  void copyByContextMenu();
  void copiedTextIsTheWindowsText();

 private:
  std::unique_ptr<Form1> form_;
};

void A11yCopyTest::init() {
  QGuiApplication::clipboard()->clear();
  form_ = std::make_unique<Form1>();
}

void A11yCopyTest::cleanup() {
  form_.reset();
}

void A11yCopyTest::everyControlAUserReachesHasAName() {
  // Whatever takes the focus must say what it is: an unnamed field or image is read out as
  // a bare role.
  int reached = 0;
  for (QWidget* widget : form_->findChildren<QWidget*>()) {
    if (widget->focusPolicy() == Qt::NoFocus) continue;
    ++reached;
    QVERIFY2(!AccessibleText(widget, QAccessible::Name).isEmpty(),
             qPrintable(widget->objectName()));
  }
  QCOMPARE(reached, 15);  // six fields, two buttons, two panels, banner, four unit images
  QCOMPARE(AccessibleText(Child(*form_, "Text3"), QAccessible::Name),
           QStringLiteral("Gáz hatásfok, %"));
  QCOMPARE(AccessibleText(Child(*form_, "Label11"), QAccessible::Name),
           QStringLiteral("Gáz, szén-dioxid, t/év: ") + Local("0,151"));
}

void A11yCopyTest::resultNamesFollowTheValues() {
  QLabel* total = Child<QLabel>(*form_, "Label39");
  QCOMPARE(AccessibleText(total, QAccessible::Name),
           QStringLiteral("Összes megtakarítható hőenergia, GJ/év: ") + Local("2,16"));

  Child<QLineEdit>(*form_, "Text2")->setText(QStringLiteral("2"));
  Child<QPushButton>(*form_, "Command1")->click();
  QCOMPARE(total->text(), Local(QStringLiteral("4,32")));
  QCOMPARE(AccessibleText(total, QAccessible::Name),
           QStringLiteral("Összes megtakarítható hőenergia, GJ/év: ") + Local("4,32"));

  // A failed calculation shows dashes, and the names say so too, not the old values.
  const support::BoxCloser closer;
  const QString tiny =
      QStringLiteral("0") + QLocale::system().decimalPoint() + QString(323, '0') + '5';
  Child<QLineEdit>(*form_, "Text3")->setText(tiny);
  Child<QPushButton>(*form_, "Command1")->click();
  QCOMPARE(AccessibleText(Child(*form_, "Label24"), QAccessible::Name),
           QStringLiteral("Szén, kén-dioxid, kg/év: –"));
  QCOMPARE(AccessibleText(total, QAccessible::Name),
           QStringLiteral("Összes megtakarítható hőenergia, GJ/év: –"));
  QCOMPARE(closer.Texts(),
           QStringList{QStringLiteral("A számítás a megadott adatokkal nem végezhető el!")});
}

void A11yCopyTest::rolesOfTheBoxes() {
  QCOMPARE(AccessibleRole(form_.get()), QAccessible::Window);
  QCOMPARE(AccessibleRole(Child(*form_, "Picture1")), QAccessible::Grouping);
  QCOMPARE(AccessibleRole(Child(*form_, "Picture2")), QAccessible::Grouping);
  QCOMPARE(AccessibleRole(Child(*form_, "Picture6")), QAccessible::Graphic);
  QCOMPARE(AccessibleText(Child(*form_, "Picture6"), QAccessible::Name),
           QStringLiteral("kWh/m²·év"));
}

void A11yCopyTest::carrierTooltips() {
  const struct {
    const char* label;
    const char* tip;
  } expected[] = {
      {"Label5", "CO2: 56,1 kg/GJ · NOx: 75 g/GJ · SO2: 8 g/GJ"},
      {"Label6", "CO2: 930 g/kWh · NOx: 0,6 g/kWh · SO2: 0,4 g/kWh"},
      {"Label7", "CO2: 77,37 kg/GJ · NOx: 80 g/GJ · SO2: 1,5 kg/GJ"},
      {"Label8", "CO2: 96 kg/GJ · NOx: 150 g/GJ · SO2: 1,7 kg/GJ"},
  };
  for (const auto& e : expected) {
    QLabel* label = Child<QLabel>(*form_, e.label);
    QCOMPARE(label->toolTip(), Local(QString::fromUtf8(e.tip)));
    // A screen reader reads the tooltip as the label's description.
    QCOMPARE(AccessibleText(label, QAccessible::Description), label->toolTip());
  }
}

void A11yCopyTest::copyByShortcut_data() {
  QTest::addColumn<QString>("focus");
  QTest::newRow("results panel") << "Picture1";
  QTest::newRow("text box") << "Text3";  // a field with a caret must not swallow the keys
  QTest::newRow("button") << "Command2";
}

void A11yCopyTest::copyByShortcut() {
  QFETCH(QString, focus);
  ShowActive(*form_);
  QWidget* target = Child(*form_, focus);
  target->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), target);

  QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), support::Joined(support::StartUpTable()));
  QCOMPARE(Child<QLineEdit>(*form_, "Text3")->text(), QStringLiteral("80"));  // nothing typed
}

void A11yCopyTest::copyByContextMenu_data() {
  QTest::addColumn<QString>("panel");
  QTest::newRow("results panel") << "Picture1";
  QTest::newRow("input panel") << "Picture2";
}

void A11yCopyTest::copyByContextMenu() {
  QFETCH(QString, panel);
  ShowActive(*form_);
  QWidget* box = Child(*form_, panel);
  box->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), box);

  // The menu runs its own event loop: look at it and choose from it from inside that loop,
  // by its access key, as a keyboard user would.
  QStringList shown;
  bool chosen = false;
  QTimer chooser;
  connect(&chooser, &QTimer::timeout, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr || !menu->isVisible() || chosen) return;
    for (const QAction* action : menu->actions()) {
      shown << action->text() + u'|' + action->shortcut().toString(QKeySequence::PortableText);
    }
    chosen = true;
    QTest::keyClick(menu, Qt::Key_M);
  });
  chooser.start(10);
  // What the platform sends the focused panel for the menu key (QTest's key events skip
  // that step).
  QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5),
                            box->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(box, &menuKey);

  QTRY_VERIFY(chosen);
  QCOMPARE(shown, QStringList{QStringLiteral("Eredmények &másolása|Ctrl+Shift+C")});
  QTRY_COMPARE(QGuiApplication::clipboard()->text(), support::Joined(support::StartUpTable()));
}

void A11yCopyTest::copiedTextIsTheWindowsText() {
  // After a calculation with another area, and a yield typed with a tab before it (blanks
  // around a number are allowed): the table holds the texts that calculation used, the tab
  // as a space so the columns stay, and not an edit made since.
  Child<QLineEdit>(*form_, "Text2")->setText(QStringLiteral("2"));
  Child<QLineEdit>(*form_, "Text1")->setText(QStringLiteral("\t600"));
  Child<QPushButton>(*form_, "Command1")->click();
  Child<QLineEdit>(*form_, "Text1")->setText(QStringLiteral("6"));
  form_->CopyResults();

  QList<support::CopiedRow> expected = support::StartUpTable();
  expected[1].value = " 600";
  expected[2].value = "2";
  expected[8].value = "4,32";
  const QStringList results{"0,302", "1,116", "0,477", "0,691", "0,405", "0,72",
                            "0,493", "1,08",  "0,043", "0,48",  "9,257", "12,24"};
  for (qsizetype i = 0; i < results.size(); ++i) expected[9 + i].value = results[i];
  QCOMPARE(QGuiApplication::clipboard()->text(), support::Joined(expected));
}

QTEST_MAIN(A11yCopyTest)
#include "tst_a11y_copy.moc"
