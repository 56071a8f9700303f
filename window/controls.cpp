#include "window/controls.h"

#include <QPainter>
#include <QPen>

namespace window {

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
