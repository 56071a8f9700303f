#include "window/form1.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/emission_factors.h"
#include "calc/field_table.h"
#include "calc/input_check.h"
#include "calc/number_text.h"
#include "calc/savings.h"
#include "layout/layout.h"
#include "window/controls.h"
#include "window/placement.h"
#include "window/window_hints.h"

namespace window {

// The window is built from the layout table shared with the web page.
using namespace ::layout;

namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor ToQColor(Rgb rgb) {
  return QColor(rgb.red, rgb.green, rgb.blue);
}

Rgb InkColour(Ink ink) {
  switch (ink) {
    case Ink::FooterGrey:
      return kFooterGrey;
    case Ink::FooterRed:
      return kFooterRed;
    case Ink::Default:
      break;
  }
  return kTextBlack;
}

// The smallest size a result is shrunk to; below it a digit is no longer a digit.
constexpr int kSmallestResultPixelSize = 5;

// The narrowest warning box: title bars with buttons on both sides of the title cut
// "HIBÁS ADAT" in a narrower one.
constexpr int kWarningMinimumWidth = 240;

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

QFont MakeFont(const FaceStyle& style) {
  // Only installed faces are named: Qt looks a missing family up through the platform's
  // fallbacks, which costs more at start-up than drawing the whole window.
  static const QStringList installed = QFontDatabase::families();
  QStringList families;
  for (std::string_view family : style.families) {
    const QString name = ToQString(family);
    if (installed.contains(name) && !families.contains(name)) families << name;
  }
  if (families.isEmpty()) families << ToQString(style.families.back());
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(QFont::SansSerif);
  // Pixel sizes keep the layout independent of the display's reported DPI.
  font.setPixelSize(style.pixelSize);
  font.setBold(style.bold);
  font.setItalic(style.italic);
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

// The text a control starts with: the layout's caption or image, or, for an input field, its
// start-up text and, for a result label, its stored caption (its own name), from calc's tables.
QString StartText(const Control& control) {
  if (const calc::InputField* input = calc::InputFieldNamed(control.name)) {
    return QString::fromStdString(calc::StartUpText(input->field));
  }
  if (const calc::ResultField* result = calc::ResultFieldNamed(control.name)) {
    return ToQString(result->name);
  }
  return ToQString(control.text);
}

// The heading, then the unit after a comma: "Gáz hatásfok, %".
QString SpokenName(std::string_view heading, std::string_view unit) {
  return ToQString(heading) + QStringLiteral(", ") + ToQString(unit);
}

QWidget* CreateControl(const Control& control, QWidget* container) {
  const QString text = StartText(control);
  switch (control.kind) {
    case Kind::Picture: {
      auto* box = new PictureBox(container, control.sunkenFrame);
      box->SetPicture(text);
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
      auto* edit = new TextBox(text, container);
      edit->setAlignment(Qt::AlignCenter);
      edit->setMaxLength(std::numeric_limits<int>::max());  // the default stops at 32767
      return edit;
    }
    case Kind::Button: {
      auto* button = new QPushButton(text, container);
      // Enter presses the focused button. The window is no dialog, so no button is the
      // default one and Enter in a text box starts nothing.
      button->setAutoDefault(true);
      button->setDefault(false);
      return button;
    }
    case Kind::Line:
      break;  // drawn by its panel, see CreateControls
  }
  return nullptr;
}

// The carrier labels of the results panel, each with the emission factors as its tooltip.
constexpr std::array<std::pair<std::string_view, calc::Carrier>, 4> kCarrierLabels{{
    {"Label5", calc::Carrier::Gas},
    {"Label6", calc::Carrier::Electricity},
    {"Label7", calc::Carrier::Oil},
    {"Label8", calc::Carrier::Coal},
}};

// A cell of the copied table: a tab or a line break inside it would shift the columns.
QString TableCell(QString text) {
  for (const QChar c : {u'\t', u'\r', u'\n'}) text.replace(c, u' ');
  return text;
}

// Roles that tell a screen reader what the boxes are: the window a window, a panel a group of
// controls, a picture box with an image an image. Qt would take them all for plain frames.
QAccessibleInterface* AccessibleWithRole(const QString& key, QObject* object) {
  if (key == QLatin1String("window::Form1")) {
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  }
  if (key == QLatin1String("window::PictureBox")) {
    auto* box = static_cast<PictureBox*>(object);
    return new QAccessibleWidget(
        box, box->Picture().isNull() ? QAccessible::Grouping : QAccessible::Graphic);
  }
  return nullptr;
}

}  // namespace

QString SystemDecimalPoint() {
  return QLocale::system().decimalPoint();
}

Form1::Form1(QWidget* parent, std::function<QString()> decimalPoint)
    : QWidget(parent), decimalPoint_(std::move(decimalPoint)) {
  QAccessible::installFactory(AccessibleWithRole);  // installed once however often called
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Velmora - Tarquen"));
  // MSWindowsFixedSizeDialogHint: the thin frame Windows gives a window of fixed size.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));
  setFont(MakeFont(kFaces[IndexOf(Face::Default)]));
  QIcon icon;
  for (std::string_view image : kIconImages) {
    icon.addPixmap(QPixmap::fromImage(CompiledImage(ToQString(image))));
  }
  setWindowIcon(icon);
  // Placed first: until the window exists, its ratio is that of the screen at its place, so
  // the images are loaded for the screen it opens on.
  KeepOnScreen();
  background_ = Artwork(ToQString(kBackgroundImage));
  background_.Fit(devicePixelRatioF());

  CreateControls();
  Form_Load();
}

void Form1::CreateControls() {
  const Controls controls = CreateLayout();
  SetFocusOrder(controls);
  BindInputFields(controls);
  BindResultLabels(controls);
  AddFactorTooltips(controls);
  AddCopyAction(controls);
  ConnectButtons(controls);
}

Form1::Controls Form1::CreateLayout() {
  // Each face is made once. A control in the default face inherits the window's font, so only
  // the other faces are set on their controls.
  std::array<QFont, kFaces.size()> fonts;
  std::ranges::transform(kFaces, fonts.begin(), MakeFont);

  Controls controls;
  for (const Control& control : kControls) {
    QWidget* container = control.parent.empty() ? this : controls.at(control.parent);
    if (control.kind == Kind::Line) {
      // A one-pixel child widget would vanish at fractional scale factors; the panel draws
      // its rules snapped to device pixels instead.
      static_cast<PictureBox*>(container)->AddRule(QRect(
          TwipsToPixels(control.left), TwipsToPixels(control.top),
          std::max(1, TwipsToPixels(control.width)), std::max(1, TwipsToPixels(control.height))));
      continue;
    }
    QWidget* widget = CreateControl(control, container);
    widget->setObjectName(ToQString(control.name));
    if (control.index >= 0) widget->setProperty("index", control.index);
    if (control.face != Face::Default) widget->setFont(fonts[IndexOf(control.face)]);

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
    if (control.kind == Kind::Label) {
      // Labels stand on the fixed yellow panels and orange images, so they keep the dark
      // text of the usual scheme: a dark scheme's light text would vanish there.
      palette.setColor(QPalette::WindowText, ToQColor(InkColour(control.ink)));
    }
    widget->setPalette(palette);

    if (!control.accessibleName.empty())
      widget->setAccessibleName(ToQString(control.accessibleName));
    controls.emplace(control.name, widget);
  }
  return controls;
}

void Form1::SetFocusOrder(const Controls& controls) {
  std::vector<const Control*> chain;
  for (const Control& control : kControls) {
    if (control.tabIndex >= 0) chain.push_back(&control);
  }
  std::ranges::sort(chain, {}, &Control::tabIndex);
  for (std::size_t i = 1; i < chain.size(); ++i) {
    setTabOrder(controls.at(chain[i - 1]->name), controls.at(chain[i]->name));
  }
  // Only the first in the chain has the focus when the window opens, so no caret shows.
  if (!chain.empty()) controls.at(chain.front()->name)->setFocus();
}

void Form1::BindInputFields(const Controls& controls) {
  for (const calc::InputField& input : calc::kInputFields) {
    auto* box = static_cast<TextBox*>(controls.at(input.name));
    box->setAccessibleName(SpokenName(input.heading, input.unit));
    // The keypad's decimal key types the separator the calculation will read.
    box->SetDecimalSeparator(
        [this] { return QString::fromStdString(UsableNumberFormat().decimalSeparator); });
    texts_[IndexOf(input.field)] = box;
  }
}

void Form1::BindResultLabels(const Controls& controls) {
  for (const calc::ResultField& result : calc::kResultFields) {
    const std::size_t i = IndexOf(result.label);
    results_[i] = static_cast<QLabel*>(controls.at(result.name));
    resultNames_[i] = SpokenName(result.heading, result.unit);
    results_[i]->setAccessibleName(resultNames_[i]);
  }
  resultFont_ = results_.front()->font();
}

void Form1::AddFactorTooltips(const Controls& controls) {
  const calc::NumberFormat format = UsableNumberFormat();
  for (const auto& [name, carrier] : kCarrierLabels) {
    controls.at(name)->setToolTip(QString::fromStdString(calc::FactorText(carrier, format)));
  }
}

void Form1::AddCopyAction(const Controls& controls) {
  // One action serves the shortcut anywhere in the window and the menu of both panels.
  auto* copy = new QAction(QStringLiteral("Eredmények &másolása"), this);
  copy->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  copy->setShortcutContext(Qt::WindowShortcut);
  connect(copy, &QAction::triggered, this, &Form1::CopyResults);
  addAction(copy);
  for (std::string_view panel : {"Picture1", "Picture2"}) {
    QWidget* box = controls.at(panel);
    box->addAction(copy);
    box->setContextMenuPolicy(Qt::ActionsContextMenu);
  }
}

void Form1::ConnectButtons(const Controls& controls) {
  connect(static_cast<QPushButton*>(controls.at("Command1")), &QPushButton::clicked, this,
          &Form1::Command1_Click);
  connect(static_cast<QPushButton*>(controls.at("Command2")), &QPushButton::clicked, this,
          &Form1::Command2_Click);
}

void Form1::KeepOnScreen() {
  const QPoint wanted(TwipsToPixels(kOpenLeft), TwipsToPixels(kOpenTop));
  QScreen* screen = QApplication::screenAt(wanted);
  if (screen == nullptr) screen = QApplication::primaryScreen();
  if (screen == nullptr) return;
  // The frame's size is known only once the window is on the screen; until then the inner
  // size stands for it, and moveEvent places the window again.
  const QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
  move(FitTopLeft(wanted, size().grownBy(frame), screen->availableGeometry()));
}

void Form1::Form_Load() {
  Command1_Click();
}

calc::NumberFormat Form1::UsableNumberFormat() const {
  // A symbol the number texts cannot be read with (a digit, a sign, a blank, nothing) would
  // stop every calculation; the point, as the C locale has it, always works.
  calc::NumberFormat format{decimalPoint_().toStdString()};
  if (!calc::IsUsableSeparator(format.decimalSeparator)) format = calc::NumberFormat{"."};
  return format;
}

void Form1::Command1_Click() {
  const calc::NumberFormat format = UsableNumberFormat();
  calc::CheckInputs(*this, format);
  // From here on the results stand for these texts, whatever is typed before the next run.
  for (std::size_t i = 0; i < texts_.size(); ++i) calculatedInputs_[i] = texts_[i]->text();
  try {
    calc::ComputeResults(*this, format);
  } catch (const calc::ArithmeticError&) {
    // Dashes first, so no stale result stands beside the warning.
    for (std::size_t i = 0; i < results_.size(); ++i) ShowResult(i, QStringLiteral("–"));
    ShowWarning("A számítás a megadott adatokkal nem végezhető el!");
  }
}

void Form1::Command2_Click() {
  close();
}

std::string Form1::GetText(calc::Field field) const {
  return texts_[IndexOf(field)]->text().toStdString();
}

void Form1::SetText(calc::Field field, const std::string& text) {
  texts_[IndexOf(field)]->setText(QString::fromStdString(text));
}

void Form1::SetCaption(calc::ResultLabel label, const std::string& text) {
  ShowResult(IndexOf(label), QString::fromStdString(text));
}

void Form1::ShowResult(std::size_t index, const QString& text) {
  ShowFitting(results_[index], text, resultFont_);
  // A label with a name of its own no longer reads out its text: the name carries the value.
  results_[index]->setAccessibleName(resultNames_[index] + QStringLiteral(": ") + text);
}

QString Form1::ResultsTable() const {
  QStringList rows{QStringLiteral("Megnevezés\tÉrték\tMértékegység")};
  const auto addRow = [&rows](std::string_view heading, const QString& value,
                              std::string_view unit) {
    rows << ToQString(heading) + u'\t' + TableCell(value) + u'\t' + ToQString(unit);
  };
  for (const calc::InputField& input : calc::kInputFields) {
    addRow(input.heading, calculatedInputs_[IndexOf(input.field)], input.unit);
  }
  for (const calc::ResultField& result : calc::kResultFields) {
    addRow(result.heading, results_[IndexOf(result.label)]->text(), result.unit);
  }
  return rows.join(u'\n') + u'\n';
}

void Form1::CopyResults() {
  QGuiApplication::clipboard()->setText(ResultsTable());
}

void Form1::ShowWarning(const std::string& message) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("HIBÁS ADAT"),
                  QString::fromStdString(message), QMessageBox::Ok, this);
  // The box sets its own fixed size from its layout when it shows, so a minimum width on the
  // box would be overridden; one on the button row, which spans the layout, is kept.
  if (auto* buttons = box.findChild<QDialogButtonBox*>(); buttons != nullptr && box.layout()) {
    const QMargins margins = box.layout()->contentsMargins();
    buttons->setMinimumWidth(kWarningMinimumWidth - margins.left() - margins.right());
  }
  box.exec();
  // Some window managers (and none at all) leave the focus elsewhere after a modal closes.
  activateWindow();
}

bool Form1::event(QEvent* event) {
  if (IsRatioChange(*event) && background_.Fit(devicePixelRatioF())) {
    update();
  }
  return QWidget::event(event);
}

void Form1::paintEvent(QPaintEvent* /*event*/) {
  background_.Fit(devicePixelRatioF());  // as PictureBox: the screen painted on decides
  QPainter painter(this);
  DrawArtwork(painter, QPoint(0, 0), background_.Image());
}

void Form1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  AllowOnlyMoveAndClose(windowHandle());  // before the window is mapped
}

void Form1::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // The window manager reports its frame only after it has framed the window, which moves the
  // inner area. The first move that comes with a frame places the window once more, now with
  // the frame's true size, so a frame taller than the space left below the designed place
  // does not hang off the screen.
  if (!placedWithFrame_ && windowHandle() != nullptr && !windowHandle()->frameMargins().isNull()) {
    placedWithFrame_ = true;
    KeepOnScreen();
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
