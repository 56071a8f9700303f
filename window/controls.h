#pragma once
// The controls that Qt has no ready widget for, or whose Qt widget needs a turn of its own.

#include <QFrame>
#include <QImage>
#include <QLineEdit>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>

namespace window {

// The image compiled in at `resource` by window/tools/rawimage, wrapped in place over the
// resource's bytes (no decoder, no copy; the bytes live as long as the program). A null image
// if the resource is missing, compressed, or not such a blob.
QImage CompiledImage(const QString& resource);

// A container that draws its image unscaled from the top-left corner of its inner area,
// clipped to that area, and its rules over it; it takes the keyboard focus and shows it with
// the style's focus rectangle inside its border once the keyboard has moved the focus.
// Children are placed relative to the inner area: offset them by frameWidth().
class PictureBox : public QFrame {
  Q_OBJECT

 public:
  // `sunken`: the 3-D sunken border, 2 px on each side; otherwise no border.
  PictureBox(QWidget* parent, bool sunken);

  // Replaces the image; a null pixmap shows none.
  void SetPicture(const QPixmap& picture);
  const QPixmap& Picture() const { return picture_; }

  // Adds a black rule along the longer side of `box` (pixels, relative to the inner area),
  // drawn one device pixel thick at the device row or column nearest to the box's top or
  // left edge, so it shows at every scale factor.
  void AddRule(const QRect& box);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
  QList<QRect> rules_;
};

// A single-line text box for a number. Away from the focus it shows the beginning of its
// text, where the most significant digits are, and a text wider than the box is repeated
// whole in its tooltip; with the focus it edits as any line edit. The keypad's decimal key
// types the decimal separator of the moment; the main keyboard's '.' and ',' type themselves.
class TextBox : public QLineEdit {
  Q_OBJECT

 public:
  TextBox(const QString& text, QWidget* parent);

  // Where the keypad's decimal key takes its separator from, asked at every press; by
  // default the user's regional settings.
  void SetDecimalSeparator(std::function<QString()> source);

 protected:
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ShowStartUnlessEditing();
  void UpdateToolTip();

  std::function<QString()> decimalSeparator_;
};

}  // namespace window
