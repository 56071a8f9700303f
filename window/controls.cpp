#include "window/controls.h"

#include <QCommonStyle>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QResource>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionFrame>
#include <QTextDocument>
#include <QToolTip>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>

#include "layout/layout.h"
#include "window/tools/raw_image.h"

namespace window {

// The window is built from the layout table shared with the web page.
using namespace ::layout;

namespace {

// The space Qt's line edit keeps between its contents rectangle and its text, on each side.
constexpr int kLineEditTextInset = 2;

}  // namespace

QImage CompiledImage(const QString& resource) {
  const QResource file(resource);
  if (!file.isValid() || file.compressionAlgorithm() != QResource::NoCompression) return {};
  const auto size = static_cast<std::size_t>(file.size());
  if (size < sizeof(RawImageHeader)) return {};
  RawImageHeader header{};
  std::memcpy(&header, file.data(), sizeof header);
  const std::size_t pixels = std::size_t{header.bytesPerLine} * header.height;
  if (header.magic != kRawImageMagic ||
      size - sizeof header < pixels + std::size_t{header.colorCount} * sizeof(QRgb)) {
    return {};
  }
  QImage image(file.data() + sizeof header, static_cast<int>(header.width),
               static_cast<int>(header.height), static_cast<qsizetype>(header.bytesPerLine),
               static_cast<QImage::Format>(header.format));
  if (header.colorCount > 0) {
    // Only the table is copied; the pixels stay where they are.
    QList<QRgb> colours(header.colorCount);
    std::memcpy(colours.data(), file.data() + sizeof header + pixels,
                colours.size() * sizeof(QRgb));
    image.setColorTable(colours);
  }
  return image;
}

int ArtworkScale(qreal devicePixelRatio) {
  // Between 100 % and 200 % the 2x drawing scaled down keeps every stroke even; the 1x one
  // scaled up doubles some pixel columns and not others.
  return devicePixelRatio > 1 ? 2 : 1;
}

bool IsRatioChange(const QEvent& event) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
  if (event.type() == QEvent::DevicePixelRatioChange) return true;
#endif
  return event.type() == QEvent::ScreenChangeInternal;
}

void DrawArtwork(QPainter& painter, QPoint topLeft, const QImage& image) {
  // Averaging, where the default takes the nearest pixel and drops or doubles some rows. At
  // the drawings' own scales nothing is resampled, so this changes no pixel there.
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(topLeft, image);
}

bool Artwork::Fit(qreal devicePixelRatio) {
  const int scale = resource_.isEmpty() ? 0 : ArtworkScale(devicePixelRatio);
  if (scale == scale_) return false;
  scale_ = scale;
  image_ = QImage();
  if (scale == 0) return true;
  QString name = resource_;
  if (scale == 2) name.insert(name.lastIndexOf(u'.'), QStringLiteral("@2x"));
  image_ = CompiledImage(name);
  image_.setDevicePixelRatio(scale);  // the pixels stay in the resource
  return true;
}

PictureBox::PictureBox(QWidget* parent, bool sunken) : QFrame(parent) {
  if (sunken) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  } else {
    setFrameStyle(QFrame::NoFrame);
  }
  setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::SetPicture(const QString& resource) {
  picture_ = Artwork(resource);
  FitPicture();
}

void PictureBox::FitPicture() {
  if (picture_.Fit(devicePixelRatioF())) update();
}

bool PictureBox::event(QEvent* event) {
  if (IsRatioChange(*event)) FitPicture();
  return QFrame::event(event);
}

void PictureBox::AddRule(const QRect& box) {
  rules_.append(box);
  update();
}

namespace {

// The device pixels a rule covers: one row (or column) thick, at the device row nearest to
// its top (or left) edge, as long as its box. A one-pixel widget or line at a fractional
// device position can round to no row at all; whole device pixels cannot.
QRect RuleInDevicePixels(const QRectF& device, bool horizontal) {
  const auto left = static_cast<int>(std::lround(device.left()));
  const auto top = static_cast<int>(std::lround(device.top()));
  if (horizontal) return QRect(left, top, static_cast<int>(std::lround(device.right())) - left, 1);
  return QRect(left, top, 1, static_cast<int>(std::lround(device.bottom())) - top);
}

}  // namespace

void PictureBox::paintEvent(QPaintEvent* event) {
  // The screen painted on is the one that counts, also where a platform changed its ratio
  // without telling the widgets.
  picture_.Fit(devicePixelRatioF());
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QRect inner = contentsRect();
  painter.setClipRect(inner);
  if (!Picture().isNull()) DrawArtwork(painter, inner.topLeft(), Picture());

  const QTransform toDevice = painter.deviceTransform();
  const QTransform toWidget = toDevice.inverted();
  for (const QRect& rule : rules_) {
    const QRect device = RuleInDevicePixels(
        toDevice.mapRect(QRectF(rule.translated(inner.topLeft()))), rule.width() >= rule.height());
    painter.fillRect(toWidget.mapRect(QRectF(device)), Qt::black);
  }

  // Focus cues appear once the keyboard has moved the focus, as on the usual desktops.
  if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = inner;
    // Every surface a picture box shows is light and fixed: the rectangle is drawn in the
    // dark text colour whatever the user's scheme.
    option.backgroundColor = QColor(kPanelColour.red, kPanelColour.green, kPanelColour.blue);
    option.palette.setColor(QPalette::WindowText, Qt::black);
    // The classic solid rectangle rather than the application style's: Fusion's is a
    // translucent tint meant for item views, about 2:1 against the panel and hard to see.
    static QCommonStyle classic;
    classic.drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
}

TextBox::TextBox(const QString& text, QWidget* parent)
    : QLineEdit(text, parent), decimalSeparator_([] { return QLocale::system().decimalPoint(); }) {
  connect(this, &QLineEdit::cursorPositionChanged, this, &TextBox::ShowStartUnlessEditing);
  connect(this, &QLineEdit::textChanged, this, &TextBox::UpdateToolTip);
  setCursorPosition(0);
  UpdateToolTip();
}

void TextBox::SetDecimalSeparator(std::function<QString()> source) {
  decimalSeparator_ = std::move(source);
}

void TextBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Another window, or the box's own menu, taking the focus is no leaving: the box gets the
  // focus back with the caret where the user left it.
  const Qt::FocusReason reason = event->reason();
  if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
    setCursorPosition(0);
  }
}

void TextBox::keyPressEvent(QKeyEvent* event) {
  // The keypad's decimal key means "the decimal separator", whatever the keyboard layout
  // prints on it; the main keyboard's '.' and ',' stay what they are.
  const bool decimalKey = event->modifiers() == Qt::KeypadModifier &&
                          (event->key() == Qt::Key_Period || event->key() == Qt::Key_Comma);
  if (!decimalKey) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  QKeyEvent regional(event->type(), event->key(), event->modifiers(), decimalSeparator_(),
                     event->isAutoRepeat(), static_cast<quint16>(event->count()));
  QLineEdit::keyPressEvent(&regional);
  event->setAccepted(regional.isAccepted());
}

void TextBox::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  UpdateToolTip();
}

void TextBox::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    UpdateToolTip();
  }
}

void TextBox::ShowStartUnlessEditing() {
  // A text set from outside (a reset, a paste by an assistive tool) puts the caret at its
  // end; away from the focus the start is what must show.
  if (!hasFocus() && cursorPosition() != 0) setCursorPosition(0);
}

void TextBox::UpdateToolTip() {
  QStyleOptionFrame option;
  initStyleOption(&option);
  const int room = style()
                       ->subElementRect(QStyle::SE_LineEditContents, &option, this)
                       .marginsRemoved(textMargins())
                       .width() -
                   2 * kLineEditTextInset;
  const QString shown = text();
  // A long text is too wide as soon as its start is: measuring all of a pasted megabyte
  // would hold up every keystroke.
  const QFontMetrics metrics = fontMetrics();
  const QString head = shown.left(std::max(room, 0) + 1);
  const bool wide = metrics.horizontalAdvance(head) > room ||
                    (head.size() < shown.size() && metrics.horizontalAdvance(shown) > room);
  QString tip;
  if (wide) {
    // A tooltip that looks like markup is drawn as markup: escape it, so it shows as typed.
    tip = Qt::mightBeRichText(shown) ? QStringLiteral("<p style=\"white-space:pre\">") +
                                           shown.toHtmlEscaped() + QStringLiteral("</p>")
                                     : shown;
  }
  if (tip == toolTip()) return;
  // A tip already on the screen would go on showing the old text until the mouse moves.
  if (QToolTip::isVisible() && QToolTip::text() == toolTip()) QToolTip::hideText();
  setToolTip(tip);
}

}  // namespace window
