// The active window, the keyboard focus and the mouse capture, with the
// messages that announce their changes, and enabling of windows.
#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

namespace {

struct ActivationState {
  HWND active = nullptr;
  HWND focus = nullptr;
  HWND capture = nullptr;
};

ActivationState& state() {
  static ActivationState current;
  return current;
}

bool inside(HWND handle, const Window* ancestor) {
  return handle && window_is_descendant(ancestor, window_from(handle));
}

bool can_activate(const Window* window) {
  return window && !window->parent && !window->destroying && (window->style & WS_VISIBLE) && !(window->style & WS_DISABLED);
}

void deactivate(HWND previous, HWND next) {
  if (!IsWindow(previous)) return;
  SendMessageW(previous, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(next));
  SendMessageW(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(previous)), reinterpret_cast<LPARAM>(next));
  if (!next && IsWindow(previous)) SendMessageW(previous, WM_ACTIVATEAPP, FALSE, 0);
}

void activate(HWND window, HWND previous) {
  if (!previous) SendMessageW(window, WM_ACTIVATEAPP, TRUE, 0);
  if (state().active != window) return;
  SendMessageW(window, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(previous));
  if (state().active != window) return;
  SendMessageW(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, IsIconic(window)), reinterpret_cast<LPARAM>(previous));
}

}  // namespace

HWND activation_set(HWND handle, bool take_focus) {
  Window* window = window_root(window_from(handle));
  handle = window ? window->handle : nullptr;
  HWND previous = state().active;
  if (previous == handle) return previous;
  state().active = handle;
  deactivate(previous, handle);
  if (handle && IsWindow(handle)) activate(handle, previous);
  if (state().active == handle) {
    backend_current()->window_activated(handle);
    Window* active = window_from(handle);
    if (!active) {
      if (state().focus) SetFocus(nullptr);
    } else if (take_focus && !inside(state().focus, active)) {
      SetFocus(handle);
    }
  }
  return IsWindow(previous) ? previous : nullptr;
}

HWND activation_successor(HWND leaving) {
  Window* window = window_from(leaving);
  if (window && can_activate(window_from(window->owner))) return window->owner;
  for (HWND top : window_top_levels()) {
    Window* candidate = window_from(top);
    if (top != leaving && can_activate(candidate) && candidate->owner != leaving) return top;
  }
  return nullptr;
}

void activation_window_leaving(Window* window) {
  HWND handle = window->handle;
  if (inside(state().capture, window)) ReleaseCapture();
  if (!(window = window_from(handle))) return;
  if (!window->parent && state().active == handle) activation_set(activation_successor(handle), true);
  if (!(window = window_from(handle))) return;
  if (inside(state().focus, window)) {
    Window* parent = window_from(window->parent);
    SetFocus(parent && !parent->destroying ? parent->handle : nullptr);
  }
}

HWND GetActiveWindow() { return state().active; }
HWND GetForegroundWindow() { return state().active; }

HWND SetActiveWindow(HWND handle) {
  Window* window = window_from(handle);
  if (handle && (!window || window->parent)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return activation_set(handle, true);
}

BOOL SetForegroundWindow(HWND handle) {
  if (!window_from(handle)) return FALSE;
  activation_set(handle, true);
  return TRUE;
}

HWND GetFocus() { return state().focus; }

HWND SetFocus(HWND handle) {
  HWND previous = state().focus;
  if (!handle) {
    state().focus = nullptr;
    if (IsWindow(previous)) SendMessageW(previous, WM_KILLFOCUS, 0, 0);
    return previous;
  }
  Window* window = window_from(handle);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (previous == handle) return previous;
  Window* root = window_root(window);
  if (root->handle != state().active) activation_set(root->handle, false);
  if (!IsWindow(handle)) return nullptr;
  previous = state().focus;
  state().focus = handle;
  if (IsWindow(previous) && previous != handle) SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
  if (state().focus == handle) SendMessageW(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return IsWindow(previous) ? previous : nullptr;
}

HWND SetCapture(HWND handle) {
  HWND previous = state().capture;
  if (!window_from(handle)) return nullptr;
  state().capture = handle;
  if (previous && previous != handle && IsWindow(previous))
    SendMessageW(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(handle));
  return previous;
}

BOOL ReleaseCapture() {
  HWND previous = state().capture;
  state().capture = nullptr;
  if (previous && IsWindow(previous)) SendMessageW(previous, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return state().capture; }

BOOL IsWindowEnabled(HWND handle) {
  Window* window = window_from(handle);
  return window && !(window->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND handle, BOOL enable) {
  Window* window = window_from(handle);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  bool was_disabled = (window->style & WS_DISABLED) != 0;
  if (enable && was_disabled) {
    window->style &= ~WS_DISABLED;
    if (!window->parent) backend_current()->window_enabled(handle, TRUE);
    SendMessageW(handle, WM_ENABLE, TRUE, 0);
  } else if (!enable && !was_disabled) {
    SendMessageW(handle, WM_CANCELMODE, 0, 0);
    if (!(window = window_from(handle))) return FALSE;
    window->style |= WS_DISABLED;
    if (inside(state().focus, window)) SetFocus(nullptr);
    if (inside(state().capture, window)) ReleaseCapture();
    if (!window_from(handle)) return FALSE;
    if (!window_from(handle)->parent) backend_current()->window_enabled(handle, FALSE);
    SendMessageW(handle, WM_ENABLE, FALSE, 0);
  }
  return was_disabled ? TRUE : FALSE;
}

void activation_reset() { state() = ActivationState{}; }
