// The frame a window manager puts around top-level windows, asked of it before
// any window is shown: a window that is never mapped asks for its extents
// (_NET_REQUEST_FRAME_EXTENTS) and the manager sets _NET_FRAME_EXTENTS on it.
// GTK places a window by its frame's corner, so user32's outer rectangle must
// be the real frame for centring to centre. Without a window manager there is
// no frame; on Wayland GTK draws its decorations itself and the compositor
// places the window.
#include <X11/Xatom.h>
#include <gdk/gdkx.h>
#include <poll.h>

#include <optional>

#include "platform/backend/gtk/gtk_internal.h"
#include "platform/win32/user32.h"

namespace {

// A manager that takes this long to answer is not waited for: no frame is assumed.
constexpr BackendTime ANSWER_WAIT_MS = 500;

bool window_manager_running(Display* x, Window root) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
  const bool running = XGetWindowProperty(x, root, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                                          &data) == Success &&
                       type == XA_WINDOW && count == 1;
  if (data) XFree(data);
  return running;
}

bool read_extents(Display* x, Window window, Atom extents, RECT* sides) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool found = XGetWindowProperty(x, window, extents, 0, 4, False, XA_CARDINAL, &type, &format, &count, &after,
                                  &data) == Success &&
               type == XA_CARDINAL && format == 32 && count == 4;
  if (found) {
    const long* values = reinterpret_cast<const long*>(data);  // left, right, top, bottom
    *sides = RECT{static_cast<LONG>(values[0]), static_cast<LONG>(values[2]), static_cast<LONG>(values[1]),
                  static_cast<LONG>(values[3])};
  }
  if (data) XFree(data);
  return found;
}

// A fixed-size window gets no resize handles from most managers: the probe is
// sized as the windows it stands for.
Window make_probe(Display* x, Window root, bool resizable) {
  const Window probe = XCreateSimpleWindow(x, root, 0, 0, 100, 100, 0, 0, 0);
  XSelectInput(x, probe, PropertyChangeMask);
  if (!resizable) {
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = 100;
    hints.min_height = hints.max_height = 100;
    XSetWMNormalHints(x, probe, &hints);
  }
  return probe;
}

void request_extents(Display* x, Window root, Window probe) {
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = probe;
  request.xclient.message_type = XInternAtom(x, "_NET_REQUEST_FRAME_EXTENTS", False);
  request.xclient.format = 32;
  XSendEvent(x, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
  XFlush(x);
}

bool await_extents(Display* x, Window probe, Atom extents, RECT* sides) {
  const gint64 end = g_get_monotonic_time() + ANSWER_WAIT_MS * 1000;
  while (g_get_monotonic_time() < end) {
    while (XPending(x)) {
      XEvent event;
      XNextEvent(x, &event);
      if (event.type == PropertyNotify && event.xproperty.window == probe && event.xproperty.atom == extents)
        return read_extents(x, probe, extents, sides);
    }
    pollfd connection{ConnectionNumber(x), POLLIN, 0};
    poll(&connection, 1, 20);
  }
  return read_extents(x, probe, extents, sides);
}

// Asked on a connection of its own, so that GDK's events are left alone.
RECT ask_window_manager(const char* display_name, bool resizable) {
  RECT sides{};
  Display* x = XOpenDisplay(display_name);
  if (!x) return sides;
  const Window root = DefaultRootWindow(x);
  if (window_manager_running(x, root)) {
    const Window probe = make_probe(x, root, resizable);
    const Atom extents = XInternAtom(x, "_NET_FRAME_EXTENTS", False);
    request_extents(x, root, probe);
    if (!await_extents(x, probe, extents, &sides)) sides = RECT{};
    XDestroyWindow(x, probe);
  }
  XCloseDisplay(x);
  return sides;
}

}  // namespace

BOOL gtk_frame_extents(DWORD style, DWORD, RECT* extents) {
  static std::optional<RECT> measured[2];
  *extents = RECT{};
  GdkDisplay* display = gdk_display_get_default();
  if (!display || !GDK_IS_X11_DISPLAY(display)) return TRUE;
  const bool resizable = (style & WS_THICKFRAME) != 0;
  std::optional<RECT>& known = measured[resizable ? 1 : 0];
  if (!known) known = ask_window_manager(gdk_display_get_name(display), resizable);
  *extents = *known;
  return TRUE;
}
