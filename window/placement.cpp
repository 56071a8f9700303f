#include "window/placement.h"

#include <algorithm>

namespace window {

namespace {

// The start of a span of `length` wanted at `wanted`, kept within [low, low + room).
int FitSpan(int wanted, int length, int low, int room) {
  const int highest = low + room - length;  // below `low` when the span does not fit at all
  return std::max(low, std::min(wanted, highest));
}

}  // namespace

QPoint FitTopLeft(QPoint wanted, QSize frame, QRect available) {
  return {FitSpan(wanted.x(), frame.width(), available.left(), available.width()),
          FitSpan(wanted.y(), frame.height(), available.top(), available.height())};
}

}  // namespace window
