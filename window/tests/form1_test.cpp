// The window as a user meets it: start-up results, warning boxes, keys, focus, layout, fonts
// and artwork. Runs headless; the locale of the run decides the decimal separator.

#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QResource>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "calc/form_fields.h"
#include "calc/number_text.h"
#include "calc/savings.h"
#include "window/controls.h"
#include "window/form1.h"
#include "window/tests/support.h"

using calc::Field;
using support::BoxCloser;
using support::Child;
using support::Inputs;
using support::Local;
using support::Result;
using support::Results;
using support::SeenBox;
using support::ShowActive;
using support::StartUpInputs;
using support::StartUpResults;
using support::TextBox;
using window::Form1;

namespace {

const QString kTitle = QStringLiteral("HIBÁS ADAT");
const QString kNotANumber = QStringLiteral("Adjon meg számot!");

void SetInputs(const QWidget& form, const QStringList& texts) {
  for (std::size_t i = 0; i < calc::kFields.size(); ++i) {
    TextBox(form, calc::kFields[i])->setText(texts[static_cast<qsizetype>(i)]);
  }
}

// What the calculation alone makes of these input texts: the results the window must show.
QStringList ComputedResults(const QStringList& inputs) {
  calc::FieldRecord record;
  for (std::size_t i = 0; i < calc::kFields.size(); ++i) {
    record.SetText(calc::kFields[i], inputs[static_cast<qsizetype>(i)].toStdString());
  }
  calc::ComputeResults(record, calc::NumberFormat{QLocale::system().decimalPoint().toStdString()});
  QStringList texts;
  for (calc::ResultLabel label : calc::kResultLabels) {
    texts << QString::fromStdString(record.Caption(label));
  }
  return texts;
}

// The darkest pixel of `area`: where text covers a pixel fully, that is the text's colour.
QColor DarkestIn(const QImage& image, const QRect& area) {
  QColor darkest = Qt::white;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.lightness() < darkest.lightness()) darkest = c;
    }
  }
  return darkest;
}

bool Near(const QColor& actual, const QColor& expected, int tolerance) {
  return std::abs(actual.red() - expected.red()) <= tolerance &&
         std::abs(actual.green() - expected.green()) <= tolerance &&
         std::abs(actual.blue() - expected.blue()) <= tolerance;
}

QByteArray Describe(const QColor& c) {
  return QStringLiteral("RGB(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue()).toUtf8();
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void startupResults();
  void rejectedFieldIsResetAndRecomputed();
  void twoBoxesInFieldOrder();
  void arithmeticErrorShowsDashes();
  void accessKeys();
  void enterStartsNothing();
  void focusOrder();
  void fixedWindow();
  void geometry_data();
  void geometry();
  void labelsFit_data();
  void labelsFit();
  void artwork();
  void rulesAndFooterColours();
  void formFieldsWorkOnTheControls();

 private:
  std::unique_ptr<BoxCloser> closer_;
  std::unique_ptr<Form1> form_;
};

void Form1Test::init() {
  // Watching for boxes before the window exists also catches a box from its load step.
  closer_ = std::make_unique<BoxCloser>([this] { return form_.get(); });
  form_ = std::make_unique<Form1>();
}

void Form1Test::cleanup() {
  form_.reset();
  closer_.reset();
}

void Form1Test::startupResults() {
  // The load step has run: no stored caption ("Label11") is left, and no box was shown.
  QCOMPARE(Results(*form_), StartUpResults());
  QCOMPARE(Inputs(*form_), StartUpInputs());
  QCOMPARE(closer_->Texts(), QStringList());

  // Calculating again with the start-up texts changes nothing and shows no box.
  QTest::mouseClick(Child<QPushButton>(*form_, "Command1"), Qt::LeftButton);
  QCOMPARE(Results(*form_), StartUpResults());
  QCOMPARE(Inputs(*form_), StartUpInputs());
  QCOMPARE(closer_->Texts(), QStringList());
}

void Form1Test::rejectedFieldIsResetAndRecomputed() {
  TextBox(*form_, Field::Text2)->setText(QStringLiteral("2"));
  TextBox(*form_, Field::Text3)->setText(QStringLiteral("abc"));
  QTest::mouseClick(Child<QPushButton>(*form_, "Command1"), Qt::LeftButton);

  QCOMPARE(closer_->Seen().size(), std::size_t{1});
  const SeenBox& box = closer_->Seen().front();
  QCOMPARE(box.title, kTitle);
  QCOMPARE(box.text, kNotANumber);
  QCOMPARE(box.icon, QMessageBox::Warning);
  QCOMPARE(box.standardButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
  QCOMPARE(box.buttonCount, 1);
  QVERIFY(box.modalOverForm);
  QCOMPARE(box.inputs.at(2), QStringLiteral("abc"));  // warned first, reset afterwards

  const QStringList corrected{"600", "2", "80", "100", "70", "60"};
  QCOMPARE(Inputs(*form_), corrected);
  QCOMPARE(Results(*form_), ComputedResults(corrected));
  QCOMPARE(Result(*form_, calc::ResultLabel::Label39)->text(), Local("4,32"));
}

void Form1Test::twoBoxesInFieldOrder() {
  TextBox(*form_, Field::Text1)->setText(QStringLiteral("abc"));
  TextBox(*form_, Field::Text4)->setText(QStringLiteral("0"));
  Child<QPushButton>(*form_, "Command1")->click();

  QCOMPARE(closer_->Texts(),
           QStringList({kNotANumber, QStringLiteral("A villamos fűtés hatásfoka 0 és 100 % "
                                                    "között kell legyen!")}));
  // The second box comes after the first field was reset, one box at a time.
  QCOMPARE(closer_->Seen().at(1).inputs.at(0), QStringLiteral("600"));
  QCOMPARE(closer_->Seen().at(1).inputs.at(3), QStringLiteral("0"));
  for (const SeenBox& box : closer_->Seen()) {
    QCOMPARE(box.title, kTitle);
    QCOMPARE(box.icon, QMessageBox::Warning);
  }
  QCOMPARE(Inputs(*form_), StartUpInputs());
  QCOMPARE(Results(*form_), StartUpResults());
}

void Form1Test::arithmeticErrorShowsDashes() {
  // Passes the check (above 0, below 120) but turns into zero when divided by 100.
  const QString tiny =
      QStringLiteral("0") + QLocale::system().decimalPoint() + QString(323, '0') + '5';
  TextBox(*form_, Field::Text3)->setText(tiny);
  Child<QPushButton>(*form_, "Command1")->click();

  QCOMPARE(closer_->Seen().size(), std::size_t{1});
  const SeenBox& box = closer_->Seen().front();
  QCOMPARE(box.title, kTitle);
  QCOMPARE(box.text, QStringLiteral("A számítás a megadott adatokkal nem végezhető el!"));
  QCOMPARE(box.icon, QMessageBox::Warning);
  QCOMPARE(box.standardButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
  QVERIFY(box.modalOverForm);
  const QStringList dashes(static_cast<qsizetype>(calc::kResultLabels.size()), QStringLiteral("–"));
  QCOMPARE(box.results, dashes);  // no stale result beside the warning
  QCOMPARE(Results(*form_), dashes);
  QCOMPARE(TextBox(*form_, Field::Text3)->text(), tiny);

  // The program goes on: the next calculation with usable texts shows results again.
  TextBox(*form_, Field::Text3)->setText(QStringLiteral("80"));
  Child<QPushButton>(*form_, "Command1")->click();
  QCOMPARE(Results(*form_), StartUpResults());
  QCOMPARE(closer_->Seen().size(), std::size_t{1});
}

void Form1Test::accessKeys() {
  ShowActive(*form_);
  TextBox(*form_, Field::Text2)->setText(QStringLiteral("2"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
  QTRY_COMPARE(Result(*form_, calc::ResultLabel::Label39)->text(), Local("4,32"));

  TextBox(*form_, Field::Text3)->setText(QStringLiteral("abc"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
  QTRY_COMPARE(closer_->Texts(), QStringList{kNotANumber});
  QTRY_COMPARE(TextBox(*form_, Field::Text3)->text(), QStringLiteral("80"));

  // After the box the window takes keys again; Alt+K closes the window, and as the last
  // window it ends the event loop with status 0, as main() returns it.
  form_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form_.get()));
  QTimer::singleShot(0, form_.get(), [] {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::AltModifier);
  });
  QTimer guard;
  guard.setSingleShot(true);
  connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  guard.start(5000);
  QCOMPARE(QApplication::exec(), 0);
  QVERIFY(!form_->isVisible());
}

void Form1Test::enterStartsNothing() {
  ShowActive(*form_);
  QLineEdit* text2 = TextBox(*form_, Field::Text2);
  text2->setText(QStringLiteral("2"));
  text2->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), text2);
  QSignalSpy calculate(Child<QPushButton>(*form_, "Command1"), &QPushButton::clicked);
  QSignalSpy exit(Child<QPushButton>(*form_, "Command2"), &QPushButton::clicked);

  QTest::keyClick(text2, Qt::Key_Return);
  QTest::keyClick(text2, Qt::Key_Enter);
  QVERIFY(!calculate.wait(300));  // longer than a button's animated click
  QCOMPARE(exit.count(), 0);
  QCOMPARE(Result(*form_, calc::ResultLabel::Label39)->text(), Local("2,16"));
  QVERIFY(form_->isVisible());
  QCOMPARE(closer_->Texts(), QStringList());
}

void Form1Test::focusOrder() {
  ShowActive(*form_);
  QTRY_COMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Picture1"));

  const QStringList round{"Text3",    "Text4",    "Text5",    "Text6",    "Command1",
                          "Picture2", "Text2",    "Text1",    "Command2", "Picture3",
                          "Picture4", "Picture5", "Picture6", "Picture7", "Picture1"};
  for (const QString& next : round) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), next);
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Picture7"));
}

void Form1Test::fixedWindow() {
  QCOMPARE(form_->windowTitle(), QStringLiteral("Velmora - Tarquen"));
  const Qt::WindowFlags flags = form_->windowFlags();
  QVERIFY(flags.testFlag(Qt::Window));
  QVERIFY(flags.testFlag(Qt::WindowTitleHint));
  QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
  QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
  QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
  QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));

  ShowActive(*form_);
  const QSize client(492, 584);
  QCOMPARE(form_->size(), client);
  QCOMPARE(form_->minimumSize(), client);
  QCOMPARE(form_->maximumSize(), client);
  form_->resize(800, 700);
  form_->showMaximized();
  QTest::qWait(50);
  QCOMPARE(form_->size(), client);

  const QRect available = form_->screen()->availableGeometry();
  QVERIFY2(available.contains(form_->frameGeometry()),
           qPrintable(QStringLiteral("frame %1,%2 %3x%4 outside the screen's %5x%6")
                          .arg(form_->frameGeometry().x())
                          .arg(form_->frameGeometry().y())
                          .arg(form_->frameGeometry().width())
                          .arg(form_->frameGeometry().height())
                          .arg(available.width())
                          .arg(available.height())));
}

void Form1Test::geometry_data() {
  // Pixels worked out by hand from the twips (15 to the pixel); children of the two framed
  // panels sit 2 px further in, inside the sunken border.
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("index");
  QTest::addColumn<QString>("parent");
  QTest::addColumn<QRect>("expected");

  QTest::newRow("Picture3") << "Picture3" << -1 << "Form1" << QRect(30, 0, 430, 73);
  QTest::newRow("Picture2") << "Picture2" << -1 << "Form1" << QRect(18, 87, 454, 133);
  QTest::newRow("Picture1") << "Picture1" << -1 << "Form1" << QRect(18, 237, 454, 232);
  QTest::newRow("Command1") << "Command1" << -1 << "Form1" << QRect(39, 483, 178, 31);
  QTest::newRow("Command2") << "Command2" << -1 << "Form1" << QRect(264, 483, 178, 31);
  QTest::newRow("Label33") << "Label33" << -1 << "Form1" << QRect(300, 552, 162, 23);
  QTest::newRow("Label36") << "Label36" << -1 << "Picture3" << QRect(93, 60, 124, 14);
  QTest::newRow("Label1") << "Label1" << -1 << "Picture2" << QRect(11, 32, 298, 19);
  QTest::newRow("Text1") << "Text1" << -1 << "Picture2" << QRect(317, 32, 49, 19);
  QTest::newRow("Picture4") << "Picture4" << -1 << "Picture2" << QRect(377, 107, 55, 16);
  QTest::newRow("Label37") << "Label37" << -1 << "Picture1" << QRect(20, 38, 49, 40);
  QTest::newRow("Text6") << "Text6" << -1 << "Picture1" << QRect(89, 188, 34, 19);
  QTest::newRow("Label24") << "Label24" << -1 << "Picture1" << QRect(356, 194, 64, 16);
}

void Form1Test::geometry() {
  QFETCH(QString, name);
  QFETCH(int, index);
  QFETCH(QString, parent);
  QFETCH(QRect, expected);

  QWidget* control = nullptr;
  for (QWidget* candidate : form_->findChildren<QWidget*>(name)) {
    if (index < 0 || candidate->property("index") == index) control = candidate;
  }
  QVERIFY(control != nullptr);
  QCOMPARE(control->parentWidget()->objectName(), parent);
  QCOMPARE(control->geometry(), expected);
}

void Form1Test::labelsFit_data() {
  QTest::addColumn<QStringList>("inputs");
  QTest::newRow("start-up") << StartUpInputs();
  QTest::newRow("family house") << QStringList{"555,55", "12,5", "92", "98", "85", "75"};
  QTest::newRow("large roof, poor heating") << QStringList{"700", "150", "60", "100", "50", "40"};
  QTest::newRow("four decimals") << QStringList{"650", "99,9999", "90", "95", "88", "70"};
  QTest::newRow("small yield, small area")
      << QStringList{"120,5", "0,75", "119,99", "100", "99,99", "99,99"};
  // The widest results accepted input can give: "5399,9995", and exponents near 10^18.
  QTest::newRow("largest accepted")
      << QStringList{"1499,99", "999,9999", "119,99", "100", "99,99", "99,99"};
  QTest::newRow("tiny efficiency")
      << QStringList{"1499,99", "999,9999", "0,00000000000000001", "100", "99,99", "99,99"};
}

void Form1Test::labelsFit() {
  QFETCH(QStringList, inputs);
  for (QString& text : inputs) text = Local(text);
  SetInputs(*form_, inputs);
  form_->Command1_Click();
  QCOMPARE(closer_->Texts(), QStringList());
  QCOMPARE(Inputs(*form_), inputs);

  for (const QLabel* label : form_->findChildren<QLabel*>()) {
    const QFontMetrics metrics = label->fontMetrics();
    const QString text = label->text();
    const QString where = QStringLiteral("%1 \"%2\" in %3x%4")
                              .arg(label->objectName(), text)
                              .arg(label->width())
                              .arg(label->height());
    if (label->wordWrap()) {
      // Wraps at its spaces: every word on a line of its own, all lines inside the box.
      const QRect needed =
          metrics.boundingRect(QRect(0, 0, label->width(), 1000), Qt::TextWordWrap, text);
      QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(),
               qPrintable(QStringLiteral("%1 needs %2x%3")
                              .arg(where)
                              .arg(needed.width())
                              .arg(needed.height())));
      // Laid out as the label lays it out: one word to a line.
      QTextLayout layout(text, label->font());
      QTextOption option;
      option.setWrapMode(QTextOption::WordWrap);
      layout.setTextOption(option);
      layout.beginLayout();
      QStringList lines;
      qreal bottom = 0;
      for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label->width());
        line.setPosition(QPointF(0, bottom));
        bottom += line.height();
        QVERIFY(line.naturalTextWidth() <= label->width());
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
      }
      layout.endLayout();
      QCOMPARE(lines, text.split(' '));
      QVERIFY2(bottom <= label->height(), qPrintable(where));
    } else {
      const int width = metrics.horizontalAdvance(text);
      QVERIFY2(width <= label->width(),
               qPrintable(QStringLiteral("%1 needs %2 px").arg(where).arg(width)));
      QVERIFY2(metrics.height() <= label->height(),
               qPrintable(QStringLiteral("%1 needs %2 px high").arg(where).arg(metrics.height())));
    }
  }
  for (const QPushButton* button : form_->findChildren<QPushButton*>()) {
    const QString text = button->text().remove('&');
    QVERIFY(button->fontMetrics().horizontalAdvance(text) < button->width());
  }
}

void Form1Test::artwork() {
  // Every image is compiled in as raw pixels and wrapped where it lies, 4-byte aligned as
  // QImage needs; the background only as its visible part. A name that is not a blob gives
  // a null image, which the size checks below catch.
  QVERIFY(window::CompiledImage(QStringLiteral(":/art/missing.raw")).isNull());
  QVERIFY(window::CompiledImage(QStringLiteral(":/art")).isNull());
  for (const char* name : {"background", "banner", "unit_gj_ev", "unit_gj_m2_ev", "unit_kwh_m2_ev",
                           "unit_m2", "logo16", "logo32", "logo48"}) {
    const QString path = QStringLiteral(":/art/%1.raw").arg(QLatin1String(name));
    const QImage image = window::CompiledImage(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    const auto* bytes = QResource(path).data();
    QVERIFY2(image.constBits() > bytes && image.constBits() < bytes + 64, qPrintable(path));
    QCOMPARE(reinterpret_cast<quintptr>(image.constBits()) % 4, quintptr{0});
  }
  QCOMPARE(form_->Background().size(), QSize(492, 584));

  // Drawn unscaled from the top-left: the lighter first column and row stay one pixel wide,
  // and the image covers the whole window.
  const QImage shot = form_->grab().toImage();
  const QColor ground(255, 194, 13);
  for (const QPoint& p : {QPoint(1, 300), QPoint(5, 300), QPoint(10, 1), QPoint(491, 583),
                          QPoint(1, 1), QPoint(10, 575)}) {
    QVERIFY2(Near(shot.pixelColor(p), ground, 6), Describe(shot.pixelColor(p)).constData());
  }
  for (const QPoint& p : {QPoint(0, 300), QPoint(10, 0)}) {
    QVERIFY2(shot.pixelColor(p).lightness() > ground.lightness() + 10,
             Describe(shot.pixelColor(p)).constData());
  }

  struct Expected {
    const char* name;
    QSize size;
  };
  for (const Expected& e : {Expected{"Picture3", {432, 79}}, Expected{"Picture6", {60, 19}},
                            Expected{"Picture7", {53, 19}}, Expected{"Picture5", {26, 23}},
                            Expected{"Picture4", {60, 19}}}) {
    auto* box = Child<window::PictureBox>(*form_, e.name);
    QCOMPARE(box->Picture().size(), e.size);
    // Unscaled from the top-left corner, clipped at the box's right and bottom edge.
    const QImage drawn = box->grab().toImage();
    const QImage& picture = box->Picture();
    for (const QPoint& p : {QPoint(0, 0), QPoint(box->width() - 1, box->height() - 1),
                            QPoint(box->width() / 2, box->height() / 2)}) {
      QCOMPARE(drawn.pixelColor(p), picture.pixelColor(p));
    }
  }

  // The window icon in the sizes it is drawn at; the 256 px one belongs to the desktop theme.
  QList<QSize> iconSizes = form_->windowIcon().availableSizes();
  std::ranges::sort(iconSizes, {}, &QSize::width);
  QCOMPARE(iconSizes, (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
}

void Form1Test::rulesAndFooterColours() {
  const QImage panel = Child<QWidget>(*form_, "Picture1")->grab().toImage();
  const QColor yellow(255, 255, 128);
  // Line2(1) runs along y 80, Line1(0) along x 71 (inner area offset included); Line2(4)
  // along y 182, and the rules end where their twips say.
  QCOMPARE(panel.pixelColor(114, 80), QColor(Qt::black));
  QCOMPARE(panel.pixelColor(114, 79), yellow);
  QCOMPARE(panel.pixelColor(114, 81), yellow);
  QCOMPARE(panel.pixelColor(71, 130), QColor(Qt::black));
  QCOMPARE(panel.pixelColor(70, 130), yellow);
  QCOMPARE(panel.pixelColor(72, 130), yellow);
  QCOMPARE(panel.pixelColor(200, 182), QColor(Qt::black));
  for (const auto& [inside, outside] : {std::pair{QPoint(14, 80), QPoint(13, 80)},
                                        {QPoint(439, 80), QPoint(440, 80)},
                                        {QPoint(71, 35), QPoint(71, 34)},
                                        {QPoint(71, 215), QPoint(71, 216)}}) {
    QCOMPARE(panel.pixelColor(inside), QColor(Qt::black));
    QCOMPARE(panel.pixelColor(outside), yellow);
  }
  // The sunken border: darker at the top-left than the panel, inner area starting at 2 px.
  QVERIFY(panel.pixelColor(0, 100).lightness() < yellow.lightness());
  QCOMPARE(panel.pixelColor(2, 100), yellow);

  // Footer texts in dark red straight on the background image.
  const QImage shot = form_->grab().toImage();
  for (const char* name : {"Label26", "Label33"}) {
    const QRect area = Child<QLabel>(*form_, name)->geometry();
    const QColor darkest = DarkestIn(shot, area);
    QVERIFY2(Near(darkest, QColor(128, 0, 0), 4), (name + (" " + Describe(darkest))).constData());
    QVERIFY2(Near(shot.pixelColor(area.bottomRight()), QColor(255, 194, 13), 6), name);
  }
}

void Form1Test::formFieldsWorkOnTheControls() {
  calc::FormFields& fields = *form_;
  // Longer than a line edit's default limit of 32767 characters, and not ASCII.
  const std::string longText = std::string(35000, 'x') + "ő–é";
  for (std::size_t i = 0; i < calc::kFields.size(); ++i) {
    const std::string text = longText + std::to_string(i);
    fields.SetText(calc::kFields[i], text);
    QCOMPARE(fields.GetText(calc::kFields[i]), text);
    QCOMPARE(TextBox(*form_, calc::kFields[i])->text(), QString::fromStdString(text));
  }
  for (calc::ResultLabel label : calc::kResultLabels) {
    const std::string caption = "ő" + std::string(calc::ResultLabelName(label));
    fields.SetCaption(label, caption);
    QCOMPARE(Result(*form_, label)->text(), QString::fromStdString(caption));
  }
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
