#include "window/window_hints.h"

#include <QGuiApplication>
#include <QWindow>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

namespace window {

namespace {

// _MOTIF_WM_HINTS: which fields are set, the functions offered, the decorations drawn.
constexpr std::uint32_t kHasFunctions = 1U << 0;
constexpr std::uint32_t kHasDecorations = 1U << 1;
constexpr std::uint32_t kMove = 1U << 2;
constexpr std::uint32_t kClose = 1U << 5;
constexpr std::uint32_t kBorder = 1U << 1;
constexpr std::uint32_t kTitle = 1U << 3;
constexpr std::uint32_t kMenu = 1U << 4;

}  // namespace

void AllowOnlyMoveAndClose([[maybe_unused]] QWindow* window) {
#if QT_CONFIG(xcb)
  // The offscreen platform answers for X11 too, without a connection.
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr || window == nullptr ||
      window->handle() == nullptr) {
    return;
  }
  xcb_connection_t* connection = x11->connection();

  static constexpr char kName[] = "_MOTIF_WM_HINTS";
  const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName),
                            nullptr),
      &std::free);
  if (atom == nullptr) return;

  // flags, functions, decorations, input mode (modeless), status
  const std::array<std::uint32_t, 5> hints{kHasFunctions | kHasDecorations, kMove | kClose,
                                           kBorder | kTitle | kMenu, 0, 0};
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()),
                      atom->atom, atom->atom, 32, hints.size(), hints.data());
  xcb_flush(connection);
#endif
}

}  // namespace window
