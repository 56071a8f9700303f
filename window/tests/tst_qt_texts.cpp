// Qt's own texts in the window (a text box's context menu) are Hungarian under any locale, and
// without the translation file the window still comes up, with Qt's English texts.

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <memory>

#include "window/form1.h"
#include "window/qt_texts.h"

namespace {

// The context menu's entries without their shortcuts, separators left out.
QStringList ContextMenuOfText1() {
  window::Form1 form;
  auto* box = form.findChild<QLineEdit*>(QStringLiteral("Text1"));
  if (box == nullptr) qFatal("no control named Text1");
  const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
  QStringList entries;
  for (const QAction* action : menu->actions()) {
    if (!action->isSeparator()) entries << action->text().section(QLatin1Char('\t'), 0, 0);
  }
  return entries;
}

}  // namespace

class QtTextsTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup();

  void contextMenuIsHungarian();
  void missingTranslationLeavesQtEnglish();
};

void QtTextsTest::cleanup() {
  for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
  }
}

void QtTextsTest::contextMenuIsHungarian() {
  QVERIFY(window::InstallQtHungarian(*qApp));
  const QStringList expected{"&Visszavonás", "Új&ra",  "&Kivágás",         "&Másolás",
                             "&Beillesztés", "Törlés", "Összes kijelölése"};
  QCOMPARE(ContextMenuOfText1(), expected);
}

void QtTextsTest::missingTranslationLeavesQtEnglish() {
  const QTemporaryDir empty;
  QVERIFY(empty.isValid());
  QVERIFY(!window::InstallQtHungarian(*qApp, empty.path()));
  QVERIFY(qApp->findChildren<QTranslator*>().isEmpty());
  const QStringList expected{"&Undo", "&Redo", "Cu&t", "&Copy", "&Paste", "Delete", "Select All"};
  QCOMPARE(ContextMenuOfText1(), expected);
}

QTEST_MAIN(QtTextsTest)
#include "tst_qt_texts.moc"
