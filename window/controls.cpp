#include "window/controls.h"

#include <QPainter>
#include <QPen>
#include <QResource>
#include <cstddef>
#include <cstring>

#include "window/tools/raw_image.h"

namespace window {

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

}  // namespace window
