#include "window/controls.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QPen>
#include <QResource>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextDocument>
#include <QToolTip>
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

#include "window/tools/raw_image.h"

namespace window {

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
  if (header.magic != kRawImageMagic ||
      size - sizeof header < std::size_t{header.bytesPerLine} * header.height) {
    return {};
  }
  return QImage(file.data() + sizeof header, static_cast<int>(header.width),
                static_cast<int>(header.height), static_cast<qsizetype>(header.bytesPerLine),
                static_cast<QImage::Format>(header.format));
}

PictureBox::PictureBox(QWidget* parent, bool sunken) : QFrame(parent) {
  if (sunken) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  } else {
    setFrameStyle(QFrame::NoFrame);
  }
  setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::SetPicture(const QPixmap& picture) {
  picture_ = picture;
  update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (picture_.isNull()) return;
  QPainter painter(this);
  const QRect inner = contentsRect();
  painter.setClipRect(inner);
  painter.drawPixmap(inner.topLeft(), picture_);
}

Rule::Rule(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
}

void Rule::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setPen(QPen(Qt::black, 0));  // width 0: cosmetic, one device pixel
  if (width() >= height()) {
    painter.drawLine(QPointF(0, 0), QPointF(width() - 1, 0));
  } else {
    painter.drawLine(QPointF(0, 0), QPointF(0, height() - 1));
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
