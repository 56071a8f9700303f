#pragma once
// What the window asks of an X11 window manager beyond what Qt's window flags can say.

class QWindow;

namespace window {

// Tells the window manager that `window` may only be moved and closed, and is drawn with a
// border, a title bar and a system menu but no resize handles or minimize and maximize buttons.
// Qt derives these hints from the window flags and always adds resizing, even for a fixed-size
// window. Call it once the native window exists and before it is mapped; it does nothing where
// the platform is not X11 (Wayland, offscreen) or the window has no native window.
void AllowOnlyMoveAndClose(QWindow* window);

}  // namespace window
