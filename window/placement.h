#pragma once
// Where the window opens on the screen.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace window {

// The top-left corner for a window of outer size `frame` that wants to open at `wanted`:
// `wanted` itself when the window then lies wholly within `available`; otherwise moved along
// each axis just far enough to lie within it. Along an axis where the window is larger than
// `available`, it is aligned with the left or top edge so its caption stays reachable.
// All values in device-independent pixels; nothing is rounded.
QPoint FitTopLeft(QPoint wanted, QSize frame, QRect available);

}  // namespace window
