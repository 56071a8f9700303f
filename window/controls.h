#pragma once
// The two kinds of control that Qt has no ready widget for.

#include <QFrame>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace window {

// The image compiled in at `resource` by window/tools/rawimage, wrapped in place over the
// resource's bytes (no decoder, no copy; the bytes live as long as the program). A null image
// if the resource is missing, compressed, or not such a blob.
QImage CompiledImage(const QString& resource);

// A container that draws its image unscaled from the top-left corner of its inner area,
// clipped to that area, and takes the keyboard focus. Children are placed relative to the
// inner area: offset them by frameWidth().
class PictureBox : public QFrame {
  Q_OBJECT

 public:
  // `sunken`: the 3-D sunken border, 2 px on each side; otherwise no border.
  PictureBox(QWidget* parent, bool sunken);

  // Replaces the image; a null pixmap shows none.
  void SetPicture(const QPixmap& picture);
  const QPixmap& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
};

// A straight black rule one device pixel thick, along the longer side of its box: a cosmetic
// pen keeps it at one pixel on high-DPI screens too.
class Rule : public QWidget {
  Q_OBJECT

 public:
  explicit Rule(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace window
