// The window on the desktops people have: rules at every scale factor, labels that stay
// readable under a dark colour scheme, focus shown to keyboard users, Enter on buttons, and a
// decimal symbol the number texts cannot use. Registered once per scale factor;
// QT_SCALE_FACTOR says which one the run must get.

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>

#include "calc/form_fields.h"
#include "calc/savings.h"
#include "layout/layout.h"
#include "window/controls.h"
#include "window/form1.h"
#include "window/tests/support.h"

using support::BoxCloser;
using support::Child;
using support::ShowActive;
using window::Form1;

namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Relative luminance and contrast ratio as WCAG 2 defines them.
double Luminance(const QColor& c) {
  const auto channel = [](int value) {
    const double v = value / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QByteArray Describe(const QColor& c) {
  return QStringLiteral("RGB(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue()).toUtf8();
}

// A widget's place in the window's grab, in device pixels.
QRect DeviceRect(const QWidget& form, const QWidget& widget, qreal ratio) {
  const QRectF logical(widget.mapTo(&form, QPoint(0, 0)), widget.size());
  return QRect(QPoint(static_cast<int>(std::ceil(logical.left() * ratio)),
                      static_cast<int>(std::ceil(logical.top() * ratio))),
               QPoint(static_cast<int>(std::floor(logical.right() * ratio)) - 1,
                      static_cast<int>(std::floor(logical.bottom() * ratio)) - 1));
}

// The most common colour of an area: the surface its text stands on.
QColor SurfaceOf(const QImage& image, const QRect& area) {
  std::map<QRgb, int> counts;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y)];
  }
  return QColor(std::ranges::max_element(counts, {}, &std::pair<const QRgb, int>::second)->first);
}

// The strongest contrast of any pixel of the area against `surface`.
double BestContrast(const QImage& image, const QRect& area, const QColor& surface) {
  double best = 1;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      best = std::max(best, Contrast(image.pixelColor(x, y), surface));
    }
  }
  return best;
}

// Roughly the palette of a dark desktop scheme: light text on dark surfaces, in every role a
// widget reads.
QPalette DarkPalette() {
  QPalette dark;
  const QColor surface(50, 50, 50);
  const QColor text(230, 230, 230);
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    dark.setColor(group, QPalette::Window, surface);
    dark.setColor(group, QPalette::WindowText, text);
    dark.setColor(group, QPalette::Base, QColor(30, 30, 30));
    dark.setColor(group, QPalette::AlternateBase, surface);
    dark.setColor(group, QPalette::Text, text);
    dark.setColor(group, QPalette::Button, QColor(60, 60, 60));
    dark.setColor(group, QPalette::ButtonText, text);
    dark.setColor(group, QPalette::BrightText, Qt::white);
    dark.setColor(group, QPalette::Light, QColor(90, 90, 90));
    dark.setColor(group, QPalette::Midlight, QColor(75, 75, 75));
    dark.setColor(group, QPalette::Mid, QColor(40, 40, 40));
    dark.setColor(group, QPalette::Dark, QColor(25, 25, 25));
    dark.setColor(group, QPalette::Shadow, QColor(10, 10, 10));
    dark.setColor(group, QPalette::Highlight, QColor(40, 90, 160));
    dark.setColor(group, QPalette::HighlightedText, Qt::white);
    dark.setColor(group, QPalette::ToolTipBase, surface);
    dark.setColor(group, QPalette::ToolTipText, text);
    dark.setColor(group, QPalette::PlaceholderText, QColor(150, 150, 150));
  }
  return dark;
}

}  // namespace

class DesktopLookTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void rulesAtEveryScale_data();
  void rulesAtEveryScale();
  void labelsReadableUnderAnyScheme_data();
  void labelsReadableUnderAnyScheme();
  void focusShownOnlyAfterKeyboard_data();
  void focusShownOnlyAfterKeyboard();
  void enterPressesFocusedButton_data();
  void enterPressesFocusedButton();
  void enterInTextBoxAfterButtonStartsNothing();
  void unusableSeparatorFallsBackToPoint_data();
  void unusableSeparatorFallsBackToPoint();
  void designedFaceWhereInstalled();

 private:
  QPalette original_;
  std::unique_ptr<BoxCloser> closer_;
};

void DesktopLookTest::initTestCase() {
  original_ = QApplication::palette();
  // The run must really be at the factor it was registered for, or it proves nothing.
  const double factor = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
  Form1 form;
  QCOMPARE(form.grab().devicePixelRatio(), factor);
}

void DesktopLookTest::init() {
  closer_ = std::make_unique<BoxCloser>();
}

void DesktopLookTest::cleanup() {
  closer_.reset();
  QApplication::setPalette(original_);
}

void DesktopLookTest::rulesAtEveryScale_data() {
  QTest::addColumn<int>("row");
  for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
    const layout::Control& c = layout::kControls[i];
    if (c.kind != layout::Kind::Line) continue;
    QTest::newRow(qPrintable(QStringLiteral("%1(%2)").arg(ToQString(c.name)).arg(c.index)))
        << static_cast<int>(i);
  }
}

void DesktopLookTest::rulesAtEveryScale() {
  QFETCH(int, row);
  const layout::Control& rule = layout::kControls[static_cast<std::size_t>(row)];
  Form1 form;
  const QPixmap shot = form.grab();
  const QImage image = shot.toImage();
  const qreal ratio = shot.devicePixelRatio();

  // The rule's box in window pixels, from its twips, inside its panel's border.
  auto* panel = Child<window::PictureBox>(form, ToQString(rule.parent));
  const QPoint inner = panel->mapTo(&form, panel->contentsRect().topLeft());
  const QRectF box(inner.x() + layout::TwipsToPixels(rule.left),
                   inner.y() + layout::TwipsToPixels(rule.top),
                   std::max(1, layout::TwipsToPixels(rule.width)),
                   std::max(1, layout::TwipsToPixels(rule.height)));
  const bool horizontal = box.width() >= box.height();

  // Along the rule: every device pixel between its ends. Across it: the device lines within
  // one window pixel of its place. Exactly one of those lines must be dark all along.
  const double along0 = (horizontal ? box.left() : box.top()) * ratio;
  const double along1 = (horizontal ? box.right() : box.bottom()) * ratio;
  const double across = (horizontal ? box.top() : box.left()) * ratio;
  const int first = static_cast<int>(std::ceil(along0));
  const int last = static_cast<int>(std::floor(along1)) - 1;
  QStringList darkLines;
  for (int line = static_cast<int>(std::floor(across - ratio));
       line <= static_cast<int>(std::ceil(across + ratio)); ++line) {
    int gaps = 0;
    for (int pos = first; pos <= last; ++pos) {
      const QColor c = horizontal ? image.pixelColor(pos, line) : image.pixelColor(line, pos);
      if (c.lightness() > 64) ++gaps;
    }
    if (gaps == 0) darkLines << QString::number(line);
  }
  QVERIFY2(darkLines.size() == 1,
           qPrintable(QStringLiteral("%1 device %2 %3..%4 near %5: dark all along at [%6]")
                          .arg(horizontal ? "row" : "column")
                          .arg(horizontal ? "columns" : "rows")
                          .arg(first)
                          .arg(last)
                          .arg(across)
                          .arg(darkLines.join(u','))));
}

void DesktopLookTest::labelsReadableUnderAnyScheme_data() {
  QTest::addColumn<QPalette>("palette");
  QTest::newRow("light") << original_;
  QTest::newRow("dark") << DarkPalette();
}

void DesktopLookTest::labelsReadableUnderAnyScheme() {
  QFETCH(QPalette, palette);
  QApplication::setPalette(palette);
  Form1 form;
  const QPixmap shown = form.grab();
  const QImage withText = shown.toImage();
  const qreal ratio = shown.devicePixelRatio();

  // A label's text is what changes when the label is hidden; each changed pixel is held
  // against the surface that shows there without it.
  for (const layout::Control& control : layout::kControls) {
    if (control.kind != layout::Kind::Label) continue;
    auto* label = Child<QLabel>(form, ToQString(control.name));
    if (label->text().isEmpty()) continue;
    const QRect area = DeviceRect(form, *label, ratio);
    label->hide();
    const QImage without = form.grab().toImage();
    label->show();
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        best = std::max(best, Contrast(withText.pixelColor(x, y), without.pixelColor(x, y)));
      }
    }
    QVERIFY2(best >= 4.5, qPrintable(QStringLiteral("%1 \"%2\": contrast %3")
                                         .arg(label->objectName(), label->text())
                                         .arg(best, 0, 'f', 2)));
  }

  // Text boxes and buttons draw their own surfaces in the scheme's colours, and their text
  // stands out from them.
  for (const char* name : {"Text1", "Text3", "Command1", "Command2"}) {
    const QWidget* widget = Child<QWidget>(form, QLatin1String(name));
    const QRect area = DeviceRect(form, *widget, ratio).adjusted(3, 3, -3, -3);
    const QColor surface = SurfaceOf(withText, area);
    const QColor schemeSurface = palette.color(
        qobject_cast<const QLineEdit*>(widget) != nullptr ? QPalette::Base : QPalette::Button);
    QVERIFY2(
        std::abs(surface.lightness() - schemeSurface.lightness()) < 40,
        (QByteArray(name) + " surface " + Describe(surface) + ", scheme " + Describe(schemeSurface))
            .constData());
    const double best = BestContrast(withText, area, surface);
    QVERIFY2(best >= 4.5, (QByteArray(name) + " contrast " + QByteArray::number(best)).constData());
  }
}

void DesktopLookTest::focusShownOnlyAfterKeyboard_data() {
  QTest::addColumn<QPalette>("palette");
  QTest::addColumn<QString>("box");
  for (const auto& [scheme, palette] : {std::pair{"light", original_}, {"dark", DarkPalette()}}) {
    for (const char* box : {"Picture1", "Picture2", "Picture3", "Picture6"}) {
      QTest::addRow("%s %s", scheme, box) << palette << QString::fromLatin1(box);
    }
  }
}

void DesktopLookTest::focusShownOnlyAfterKeyboard() {
  QFETCH(QPalette, palette);
  QFETCH(QString, box);
  QApplication::setPalette(palette);
  Form1 form;
  ShowActive(form);
  auto* picture = Child<window::PictureBox>(form, box);
  // Elsewhere to put the focus: a button outside every picture box.
  auto* away = Child<QPushButton>(form, QStringLiteral("Command2"));
  // The box as the window shows it, in device pixels; its border is left out, so a change
  // there counts as a change inside.
  const auto look = [&form, picture] {
    const QPixmap shot = form.grab();
    const qreal ratio = shot.devicePixelRatio();
    const int border = static_cast<int>(std::floor(picture->frameWidth() * ratio));
    return shot.toImage().copy(
        DeviceRect(form, *picture, ratio).marginsRemoved(QMargins(border, border, border, border)));
  };

  // At start-up the focus is on Picture1, and nothing shows it before a key is pressed.
  QTRY_COMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Picture1"));
  const QImage atStart = look();
  away->setFocus(Qt::MouseFocusReason);
  QTRY_COMPARE(QApplication::focusWidget(), away);
  const QImage unfocused = look();
  QVERIFY2(atStart == unfocused, "a focus indicator shows at start-up");

  // Tab round to the box: now it shows, in the dark text colour.
  for (int i = 0; i < 15 && QApplication::focusWidget() != picture; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  QCOMPARE(QApplication::focusWidget(), picture);
  const QImage focused = look();
  // Along the edges only: what the box shows stays as it was.
  const int edge = static_cast<int>(std::ceil(4 * focused.devicePixelRatio()));
  const QRect middle = focused.rect().adjusted(edge, edge, -edge, -edge);
  int changed = 0;
  int standOut = 0;
  for (int y = 0; y < focused.height(); ++y) {
    for (int x = 0; x < focused.width(); ++x) {
      if (focused.pixel(x, y) == unfocused.pixel(x, y)) continue;
      QVERIFY2(!middle.contains(x, y),
               qPrintable(QStringLiteral("changed at %1,%2").arg(x).arg(y)));
      ++changed;
      if (Contrast(focused.pixelColor(x, y), unfocused.pixelColor(x, y)) >= 3) ++standOut;
    }
  }
  // An outline that stands out from the surface under it (non-text contrast, 3:1) along the
  // box's sides; a dotted one covers half of them.
  const int perimeter = 2 * (focused.width() + focused.height());
  QVERIFY2(standOut * 2 >= perimeter,
           qPrintable(QStringLiteral("%1 of %2 changed pixels stand out, around %3")
                          .arg(standOut)
                          .arg(changed)
                          .arg(perimeter)));

  // The focus leaves, the indicator goes.
  away->setFocus(Qt::MouseFocusReason);
  QTRY_COMPARE(QApplication::focusWidget(), away);
  QVERIFY(look() == unfocused);
}

void DesktopLookTest::enterPressesFocusedButton_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<int>("key");
  QTest::newRow("Számítás, Return") << "Command1" << int(Qt::Key_Return);
  QTest::newRow("Számítás, keypad Enter") << "Command1" << int(Qt::Key_Enter);
  QTest::newRow("Számítás, Space") << "Command1" << int(Qt::Key_Space);
  QTest::newRow("Kilépés, Return") << "Command2" << int(Qt::Key_Return);
  QTest::newRow("Kilépés, Space") << "Command2" << int(Qt::Key_Space);
}

void DesktopLookTest::enterPressesFocusedButton() {
  QFETCH(QString, button);
  QFETCH(int, key);
  Form1 form;
  ShowActive(form);
  Child<QLineEdit>(form, QStringLiteral("Text1"))->setText(QStringLiteral("hatszáz"));
  auto* pushButton = Child<QPushButton>(form, button);
  for (int i = 0; i < 15 && QApplication::focusWidget() != pushButton; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  QCOMPARE(QApplication::focusWidget(), pushButton);

  QTest::keyClick(pushButton, static_cast<Qt::Key>(key));
  if (button == QLatin1String("Command1")) {
    QTRY_COMPARE(closer_->Texts(), QStringList{QStringLiteral("Adjon meg számot!")});
    QCOMPARE(Child<QLineEdit>(form, QStringLiteral("Text1"))->text(), QStringLiteral("600"));
    QVERIFY(form.isVisible());
  } else {
    QTRY_VERIFY(!form.isVisible());
    QCOMPARE(closer_->Texts(), QStringList());
  }
}

void DesktopLookTest::enterInTextBoxAfterButtonStartsNothing() {
  // A focused button takes Enter; once the focus has moved on to a text box, it must not.
  Form1 form;
  ShowActive(form);
  auto* calculate = Child<QPushButton>(form, QStringLiteral("Command1"));
  for (int i = 0; i < 15 && QApplication::focusWidget() != calculate; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  QCOMPARE(QApplication::focusWidget(), calculate);
  auto* text2 = Child<QLineEdit>(form, QStringLiteral("Text2"));
  text2->setText(QStringLiteral("2"));
  QTest::mouseClick(text2, Qt::LeftButton);
  QTRY_COMPARE(QApplication::focusWidget(), text2);

  QSignalSpy clicked(calculate, &QPushButton::clicked);
  QSignalSpy exited(Child<QPushButton>(form, QStringLiteral("Command2")), &QPushButton::clicked);
  QTest::keyClick(text2, Qt::Key_Return);
  QTest::keyClick(text2, Qt::Key_Enter);
  QVERIFY(!clicked.wait(300));  // longer than a button's animated click
  QCOMPARE(exited.count(), 0);
  QVERIFY(form.isVisible());
  QCOMPARE(Child<QLabel>(form, QStringLiteral("Label39"))->text().remove(QRegularExpression("\\D")),
           QStringLiteral("216"));
  QCOMPARE(closer_->Texts(), QStringList());
}

void DesktopLookTest::unusableSeparatorFallsBackToPoint_data() {
  QTest::addColumn<QString>("given");
  QTest::addColumn<QString>("used");
  QTest::newRow("empty") << ""
                         << ".";
  QTest::newRow("digit") << "5"
                         << ".";
  QTest::newRow("minus") << "-"
                         << ".";
  QTest::newRow("plus") << "+"
                        << ".";
  QTest::newRow("space") << " "
                         << ".";
  QTest::newRow("no-break space stays") << QString(QChar(0x00A0)) << QString(QChar(0x00A0));
  QTest::newRow("comma stays") << ","
                               << ",";
  QTest::newRow("two characters stay") << ",,"
                                       << ",,";
}

void DesktopLookTest::unusableSeparatorFallsBackToPoint() {
  QFETCH(QString, given);
  QFETCH(QString, used);
  // The tooltips of the energy carriers and the load step read the symbol while the window
  // is built; an unusable one used to end the program there.
  Form1 form(nullptr, [given] { return given; });
  QCOMPARE(closer_->Texts(), QStringList());
  QCOMPARE(Child<QLabel>(form, QStringLiteral("Label3"))->text(),
           QStringLiteral("2") + used + QStringLiteral("16"));

  // A calculation reads a decimal input with the symbol actually used.
  const QStringList inputs{QStringLiteral("600") + used + QStringLiteral("5"),
                           QStringLiteral("2") + used + QStringLiteral("25"),
                           "92",
                           "98",
                           "85",
                           "75"};
  calc::FieldRecord record;
  for (std::size_t i = 0; i < calc::kFields.size(); ++i) {
    const auto index = static_cast<qsizetype>(i);
    form.SetText(calc::kFields[i], inputs[index].toStdString());
    record.SetText(calc::kFields[i], inputs[index].toStdString());
  }
  // The keypad's decimal key types the symbol the calculation reads.
  ShowActive(form);
  auto* text2 = Child<QLineEdit>(form, QStringLiteral("Text2"));
  text2->setFocus(Qt::TabFocusReason);
  QTRY_COMPARE(QApplication::focusWidget(), text2);
  text2->clear();
  QTest::keyClicks(text2, QStringLiteral("2"));
  QTest::keyClick(text2, Qt::Key_Period, Qt::KeypadModifier);
  QTest::keyClicks(text2, QStringLiteral("25"));
  QCOMPARE(text2->text(), inputs[1]);
  form.Command1_Click();
  QCOMPARE(closer_->Texts(), QStringList());
  calc::ComputeResults(record, calc::NumberFormat{used.toStdString()});
  for (calc::ResultLabel label : calc::kResultLabels) {
    QCOMPARE(Child<QLabel>(form, ToQString(calc::ResultLabelName(label)))->text(),
             QString::fromStdString(record.Caption(label)));
  }
  QVERIFY(record.Caption(calc::ResultLabel::Label39).find(used.toStdString()) != std::string::npos);
}

void DesktopLookTest::designedFaceWhereInstalled() {
  // Each control gets the first face of its list that the system has: the designed one on
  // Windows, the stand-in here. A face the system only substitutes must not win.
  const QStringList installed = QFontDatabase::families();
  Form1 form;
  for (const layout::Control& control : layout::kControls) {
    if (control.kind == layout::Kind::Line) continue;
    const layout::FaceStyle& style = layout::kFaces[calc::IndexOf(control.face)];
    const auto available = std::ranges::find_if(style.families, [&](std::string_view family) {
      return installed.contains(ToQString(family), Qt::CaseInsensitive);
    });
    QVERIFY2(available != style.families.end(), qPrintable(ToQString(control.name)));
    const QWidget* widget = Child<QWidget>(form, ToQString(control.name));
    QCOMPARE(QFontInfo(widget->font()).family(), ToQString(*available));
  }
}

QTEST_MAIN(DesktopLookTest)
#include "tst_desktop_look.moc"
