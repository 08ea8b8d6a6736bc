#include "runtime/gui/window_proc.h"

#include <vector>

#include "platform/win32/kernel32.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/gadget.h"
#include "runtime/gui/keyboard_cues.h"
#include "runtime/gui/shortcut.h"
#include "runtime/gui/window.h"

namespace {

bool takes_tab_focus(HWND child) {
  return (GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(child) && IsWindowEnabled(child);
}

// Direct children in z-order that can take the focus.
std::vector<HWND> tab_stops(HWND window) {
  std::vector<HWND> stops;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (takes_tab_focus(child)) stops.push_back(child);
  return stops;
}

// Moves the keyboard focus to the next or previous enabled, visible tab-stop
// child of a window, wrapping around (the Tab and Shift+Tab commands).
void focus_walk(HWND window, bool forward) {
  const std::vector<HWND> stops = tab_stops(window);
  if (stops.empty()) return;
  const HWND focus = GetFocus();
  const std::size_t count = stops.size();
  std::size_t next = forward ? 0 : count - 1;
  for (std::size_t i = 0; i < count; ++i) {
    if (stops[i] != focus) continue;
    next = forward ? (i + 1) % count : (i + count - 1) % count;
    break;
  }
  SetFocus(stops[next]);
}

// A control whose commands stand for menu items.
constexpr LONG_PTR MENU_LIKE_CONTROL_ID = -10000;
constexpr UINT PRIVATE_CONTROL_MESSAGE = 13120;

// The runtime window a message belongs to: the first window up the parent
// chain that carries a number.
struct OwningWindow {
  HWND handle;  // null when no ancestor carries a number
  ObjectId number;
  WindowObject* record;
};

OwningWindow owning_window(HWND handle) {
  for (HWND window = handle; window; window = GetParent(window)) {
    if (!GetPropW(window, PROPERTY_WINDOW_ID)) continue;
    const ObjectId number = window_number_from_handle(window);
    return OwningWindow{window, number, window_lookup(number)};
  }
  return OwningWindow{nullptr, -1, nullptr};
}

void push(std::int32_t code, const OwningWindow& owner, ObjectId object = 0) {
  event_push(code, object, owner.number, 0, nullptr, nullptr);
}

bool is_own_window(const OwningWindow& owner, HWND handle) { return owner.record && owner.handle == handle; }

LRESULT on_size(HWND handle, WPARAM kind, const OwningWindow& owner) {
  if (owner.handle != handle || !owner.record) return 1;
  WindowObject* record = owner.record;
  switch (kind) {
    case SIZE_MINIMIZED:
      record->min_max_state = 1;
      push(EVENT_MINIMIZE, owner);
      return 0;
    case SIZE_MAXIMIZED:
      record->min_max_state = 1;
      push(EVENT_MAXIMIZE, owner);
      break;
    case SIZE_RESTORED:
      if (record->min_max_state) {
        record->min_max_state = 0;
        push(EVENT_RESTORE, owner);
      }
      break;
    default:
      break;
  }
  push(EVENT_SIZE, owner);
  return 0;
}

LRESULT on_activate(HWND handle, WPARAM wparam, const OwningWindow& owner) {
  if (LOWORD(wparam) != WA_INACTIVE) {
    if (HWND focus = static_cast<HWND>(GetPropW(handle, PROPERTY_FOCUS))) SetFocus(focus);
    push(EVENT_ACTIVATE, owner);
  } else {
    SetPropW(handle, PROPERTY_FOCUS, GetFocus());
    keyboard_cues_hide(handle);
    push(EVENT_DEACTIVATE, owner);
  }
  return 1;
}

LRESULT on_command(HWND handle, WPARAM wparam, LPARAM lparam, const OwningWindow& owner) {
  HWND control = reinterpret_cast<HWND>(lparam);
  if (gadget_notify_route(control, handle, WM_COMMAND, wparam, lparam) != NOT_HANDLED) return 0;
  if (control) {
    const LONG_PTR control_id = GetWindowLongW(control, GWL_ID);
    if (control_id == MENU_LIKE_CONTROL_ID) push(EVENT_MENU, owner, LOWORD(wparam));
    else event_push(EVENT_GADGET, control_id, owner.number, HIWORD(wparam), nullptr, nullptr);
  } else if (HIWORD(wparam) == 0) {
    push(EVENT_MENU, owner, static_cast<ObjectId>(wparam));
  } else if (LOWORD(wparam) == COMMAND_FOCUS_NEXT || LOWORD(wparam) == COMMAND_FOCUS_PREVIOUS) {
    focus_walk(owner.handle ? owner.handle : handle, LOWORD(wparam) == COMMAND_FOCUS_NEXT);
  } else {
    push(EVENT_MENU, owner, shortcut_event_id(LOWORD(wparam)));
  }
  return 0;
}

LRESULT on_min_max_info(LPARAM lparam, const OwningWindow& owner) {
  if (!owner.record) return NOT_HANDLED;
  if (GetWindowLongW(owner.record->handle, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)
    if (auto* limits = reinterpret_cast<MINMAXINFO*>(lparam)) limits->ptMinTrackSize.x = 1;
  return 0;
}

BOOL forward_colour_change(HWND child, LPARAM) {
  SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

LRESULT route_to_control(HWND handle, UINT message, WPARAM wparam, LPARAM lparam) {
  return gadget_notify_route(reinterpret_cast<HWND>(lparam), handle, message, wparam, lparam);
}

}  // namespace

LRESULT window_event_proc(HWND handle, UINT message, WPARAM wparam, LPARAM lparam) {
  const OwningWindow owner = owning_window(handle);
  switch (message) {
    case WM_CLOSE:
      if (is_own_window(owner, handle)) push(EVENT_CLOSE, owner, owner.number);
      return 0;
    case WM_MOVE:
      if (is_own_window(owner, handle)) push(EVENT_MOVE, owner, owner.number);
      return 0;
    case WM_SIZE:
      return on_size(handle, wparam, owner);
    case WM_ACTIVATE:
      return on_activate(handle, wparam, owner);
    case WM_NCDESTROY:
      RemovePropW(handle, PROPERTY_FOCUS);
      return 1;
    case WM_ERASEBKGND:
      push(EVENT_REPAINT, owner);
      return NOT_HANDLED;
    case WM_TIMER:
      if (!owner.record) return NOT_HANDLED;
      push(EVENT_TIMER, owner, static_cast<ObjectId>(wparam));
      return 0;
    case WM_COMMAND:
      return on_command(handle, wparam, lparam, owner);
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      return gadget_notify_route(header ? header->hwndFrom : nullptr, handle, message, wparam, lparam);
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case PRIVATE_CONTROL_MESSAGE:
      return route_to_control(handle, message, wparam, lparam);
    case WM_LBUTTONUP:
      push(EVENT_LEFT_CLICK, owner);
      return 0;
    case WM_LBUTTONDBLCLK:
      push(EVENT_LEFT_DOUBLE_CLICK, owner);
      return 0;
    case WM_RBUTTONUP:
      push(EVENT_RIGHT_CLICK, owner);
      return 0;
    case WM_GETMINMAXINFO:
      return on_min_max_info(lparam, owner);
    case WM_SYSCOLORCHANGE:
      if (owner.record) EnumChildWindows(handle, forward_colour_change, 0);
      return NOT_HANDLED;
    default:
      return NOT_HANDLED;
  }
}

LRESULT window_proc(HWND handle, UINT message, WPARAM wparam, LPARAM lparam) {
  const LRESULT result = window_event_proc(handle, message, wparam, lparam);
  SetLastError(0);
  return result == NOT_HANDLED ? DefWindowProcW(handle, message, wparam, lparam) : result;
}
