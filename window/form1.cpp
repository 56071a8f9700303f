#include "window/form1.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <iterator>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/input_check.h"
#include "calc/number_text.h"
#include "calc/savings.h"
#include "window/controls.h"
#include "window/layout.h"
#include "window/placement.h"

namespace window {

namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor ToQColor(Rgb rgb) {
  return QColor(rgb.red, rgb.green, rgb.blue);
}

// The smallest size a result is shrunk to; below it a digit is no longer a digit.
constexpr int kSmallestResultPixelSize = 5;

// Shows a result in its cell without cutting it. A text wider than the cell (the largest
// accepted inputs give "5399,9995"; absurd ones give exponents) is drawn in a smaller size,
// and its tooltip repeats it in full.
void ShowFitting(QLabel* label, const QString& text, const QFont& designed) {
  QFont font = designed;
  const int available = label->contentsRect().width();
  while (font.pixelSize() > kSmallestResultPixelSize &&
         QFontMetrics(font).horizontalAdvance(text) > available) {
    font.setPixelSize(font.pixelSize() - 1);
  }
  label->setFont(font);
  label->setToolTip(font == designed ? QString() : text);
  label->setText(text);
}

QFont MakeFont(const FaceSpec& spec) {
  QFont font(ToQString(spec.family));
  font.setStyleHint(QFont::SansSerif);
  // Pixel sizes keep the layout independent of the display's reported DPI.
  font.setPixelSize(spec.pixelSize);
  font.setBold(spec.bold);
  font.setItalic(spec.italic);
  return font;
}

Qt::Alignment ToQtAlignment(Align align) {
  switch (align) {
    case Align::Centre:
      return Qt::AlignHCenter | Qt::AlignTop;
    case Align::Left:
    case Align::LeftWrap:
      break;
  }
  return Qt::AlignLeft | Qt::AlignTop;
}

QWidget* CreateControl(const Control& control, QWidget* container) {
  const QString text = ToQString(control.text);
  switch (control.kind) {
    case Kind::Picture: {
      auto* box = new PictureBox(container, control.sunkenFrame);
      if (!text.isEmpty()) box->SetPicture(QPixmap(text));
      return box;
    }
    case Kind::Label: {
      auto* label = new QLabel(container);
      label->setTextFormat(Qt::PlainText);
      label->setText(text);
      label->setAlignment(ToQtAlignment(control.align));
      label->setWordWrap(control.align == Align::LeftWrap);
      return label;
    }
    case Kind::TextBox: {
      auto* edit = new QLineEdit(text, container);
      edit->setAlignment(Qt::AlignCenter);
      edit->setMaxLength(std::numeric_limits<int>::max());  // the default stops at 32767
      return edit;
    }
    case Kind::Button: {
      auto* button = new QPushButton(text, container);
      // No default button: Enter in a text box must not start anything.
      button->setAutoDefault(false);
      button->setDefault(false);
      return button;
    }
    case Kind::Line:
      return new Rule(container);
  }
  return nullptr;
}

// The number format of the user's regional settings, read afresh for every calculation.
calc::NumberFormat CurrentNumberFormat() {
  return calc::NumberFormat{QLocale::system().decimalPoint().toStdString()};
}

template <typename Enum, std::size_t N>
std::size_t IndexIn(const std::array<Enum, N>& order, Enum value) {
  return static_cast<std::size_t>(std::distance(order.begin(), std::ranges::find(order, value)));
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Velmora - Tarquen"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));
  setFont(MakeFont(FaceOf(Face::Default)));
  setWindowIcon(QIcon(ToQString(kIconImage)));

  // The image is far larger than the window and never scrolls: decode only what shows.
  QImageReader reader(ToQString(kBackgroundImage));
  reader.setClipRect(rect());
  background_ = QPixmap::fromImage(reader.read());

  CreateControls();
  KeepOnScreen();
  Form_Load();
}

void Form1::CreateControls() {
  std::vector<std::pair<int, QWidget*>> focusChain;
  for (const Control& control : kControls) {
    QWidget* container = control.parent.empty() ? this
                                                : findChild<QWidget*>(ToQString(control.parent),
                                                                      Qt::FindDirectChildrenOnly);
    QWidget* widget = CreateControl(control, container);
    widget->setObjectName(ToQString(control.name));
    if (control.index >= 0) widget->setProperty("index", control.index);
    widget->setFont(MakeFont(FaceOf(control.face)));

    // Places are relative to the container's inner area, inside its border.
    const auto* frame = qobject_cast<const QFrame*>(container);
    const int inset = frame != nullptr ? frame->frameWidth() : 0;
    widget->setGeometry(inset + TwipsToPixels(control.left), inset + TwipsToPixels(control.top),
                        std::max(1, TwipsToPixels(control.width)),
                        std::max(1, TwipsToPixels(control.height)));

    QPalette palette = widget->palette();
    if (control.kind == Kind::TextBox) {
      // A text box keeps the usual field and border colours, not its panel's.
      palette.setColor(QPalette::Window, QApplication::palette(widget).color(QPalette::Window));
    }
    if (control.fill == Fill::Panel) {
      palette.setColor(QPalette::Window, ToQColor(kPanelColour));
      widget->setAutoFillBackground(true);
    }
    if (control.ink == Ink::FooterGrey)
      palette.setColor(QPalette::WindowText, ToQColor(kFooterGrey));
    if (control.ink == Ink::FooterRed) palette.setColor(QPalette::WindowText, ToQColor(kFooterRed));
    widget->setPalette(palette);

    if (control.tabIndex >= 0) focusChain.emplace_back(control.tabIndex, widget);
  }

  std::ranges::sort(focusChain, {}, &std::pair<int, QWidget*>::first);
  for (std::size_t i = 1; i < focusChain.size(); ++i) {
    setTabOrder(focusChain[i - 1].second, focusChain[i].second);
  }
  // Only the first in the chain has the focus when the window opens, so no caret shows.
  if (!focusChain.empty()) focusChain.front().second->setFocus();

  for (std::size_t i = 0; i < calc::kFields.size(); ++i) {
    texts_[i] = findChild<QLineEdit*>(ToQString(calc::FieldName(calc::kFields[i])));
  }
  for (std::size_t i = 0; i < calc::kResultLabels.size(); ++i) {
    results_[i] = findChild<QLabel*>(ToQString(calc::ResultLabelName(calc::kResultLabels[i])));
  }
  resultFont_ = results_.front()->font();
  connect(findChild<QPushButton*>(QStringLiteral("Command1")), &QPushButton::clicked, this,
          &Form1::Command1_Click);
  connect(findChild<QPushButton*>(QStringLiteral("Command2")), &QPushButton::clicked, this,
          &Form1::Command2_Click);
}

void Form1::KeepOnScreen() {
  const QPoint wanted(TwipsToPixels(kOpenLeft), TwipsToPixels(kOpenTop));
  QScreen* screen = QApplication::screenAt(wanted);
  if (screen == nullptr) screen = QApplication::primaryScreen();
  if (screen == nullptr) return;
  // The frame's size is known only once the window is on the screen; until then the inner
  // size stands for it, and showEvent places the window again.
  const QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
  move(FitTopLeft(wanted, size().grownBy(frame), screen->availableGeometry()));
}

void Form1::Form_Load() {
  Command1_Click();
}

void Form1::Command1_Click() {
  const calc::NumberFormat format = CurrentNumberFormat();
  calc::CheckInputs(*this, format);
  try {
    calc::ComputeResults(*this, format);
  } catch (const calc::ArithmeticError&) {
    // Dashes first, so no stale result stands beside the warning.
    for (QLabel* label : results_) ShowFitting(label, QStringLiteral("–"), resultFont_);
    ShowWarning("A számítás a megadott adatokkal nem végezhető el!");
  }
}

void Form1::Command2_Click() {
  close();
}

std::string Form1::GetText(calc::Field field) const {
  return texts_[IndexIn(calc::kFields, field)]->text().toStdString();
}

void Form1::SetText(calc::Field field, const std::string& text) {
  texts_[IndexIn(calc::kFields, field)]->setText(QString::fromStdString(text));
}

void Form1::SetCaption(calc::ResultLabel label, const std::string& text) {
  ShowFitting(results_[IndexIn(calc::kResultLabels, label)], QString::fromStdString(text),
              resultFont_);
}

void Form1::ShowWarning(const std::string& message) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("HIBÁS ADAT"),
                  QString::fromStdString(message), QMessageBox::Ok, this);
  box.exec();
  // Some window managers (and none at all) leave the focus elsewhere after a modal closes.
  activateWindow();
}

void Form1::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, background_);
}

void Form1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shownOnce_) {
    shownOnce_ = true;
    QTimer::singleShot(0, this, &Form1::KeepOnScreen);
  }
}

void Form1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // A fixed-size window never fills the screen, whatever asks for it.
  constexpr Qt::WindowStates kLarge = Qt::WindowMaximized | Qt::WindowFullScreen;
  if (event->type() == QEvent::WindowStateChange && (windowState() & kLarge) != 0) {
    setWindowState(windowState() & ~kLarge);
  }
}

}  // namespace window
