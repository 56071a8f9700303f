#pragma once
// The controls that Qt has no ready widget for, or whose Qt widget needs a turn of its own.

#include <QFrame>
#include <QImage>
#include <QLineEdit>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <utility>

class QEvent;
class QPainter;

namespace window {

// The image compiled in at `resource` by window/tools/rawimage, wrapped in place over the
// resource's bytes (no decoder, no copy; the bytes live as long as the program). A null image
// if the resource is missing, compressed, or not such a blob.
QImage CompiledImage(const QString& resource);

// The scale of the drawing that looks best at a device pixel ratio: 2 (the NAME@2x.raw
// images) above 1, else 1.
int ArtworkScale(qreal devicePixelRatio);

// True for the events that tell a widget its device pixel ratio may have changed: its window
// moved to another screen, or (Qt 6.6 and later) the screen's ratio itself changed.
bool IsRatioChange(const QEvent& event);

// Draws an Artwork image unscaled in logical pixels from `topLeft`, resampled smoothly where
// the screen's ratio lies between the drawings' scales.
void DrawArtwork(QPainter& painter, QPoint topLeft, const QImage& image);

// One image of the artwork, held only at the scale the screen in use needs. It is drawn as the
// compiled image itself: a pixmap would hold an indexed image as a 32-bit copy.
class Artwork {
 public:
  Artwork() = default;
  // `resource`: the 1x image, ":/art/NAME.raw"; its 2x drawing is ":/art/NAME@2x.raw".
  explicit Artwork(QString resource) : resource_(std::move(resource)) {}

  // Wraps the drawing for this device pixel ratio, dropping the other one, unless it is
  // wrapped already; true if the image changed. The image's own device pixel ratio is the
  // drawing's scale, so it covers the same logical size at every scale.
  bool Fit(qreal devicePixelRatio);
  const QImage& Image() const { return image_; }

 private:
  QString resource_;
  int scale_ = 0;  // of the wrapped drawing; 0 before the first Fit
  QImage image_;
};

// A container that draws its image unscaled from the top-left corner of its inner area,
// clipped to that area, and its rules over it; it takes the keyboard focus and shows it with
// the style's focus rectangle inside its border once the keyboard has moved the focus.
// Children are placed relative to the inner area: offset them by frameWidth().
class PictureBox : public QFrame {
  Q_OBJECT

 public:
  // `sunken`: the 3-D sunken border, 2 px on each side; otherwise no border.
  PictureBox(QWidget* parent, bool sunken);

  // Shows this compiled image (see Artwork), at the scale of the screen the box is on, also
  // after the window has moved to a screen of another ratio. An empty name shows none.
  void SetPicture(const QString& resource);
  // The image as drawn now: null if none, device pixel ratio 2 for the 2x drawing.
  const QImage& Picture() const { return picture_.Image(); }

  // Adds a black rule along the longer side of `box` (pixels, relative to the inner area),
  // drawn one device pixel thick at the device row or column nearest to the box's top or
  // left edge, so it shows at every scale factor.
  void AddRule(const QRect& box);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void FitPicture();

  Artwork picture_;
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
