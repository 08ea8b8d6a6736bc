// Input reported by the display becomes queued input messages: keys go to the
// focus window, mouse messages to the capture window or the window under the
// pointer (child windows are hit-tested here), the close box and menu choices
// become WM_SYSCOMMAND and WM_COMMAND, queued in order with the other input.
// Windows disabled behind a modal requester get nothing.
#include <algorithm>
#include <cstdlib>

#include "platform/backend/input.h"
#include "platform/user32/user32_internal.h"

namespace {

constexpr BackendTime DOUBLE_CLICK_TIME = 500;

struct PointerState {
  POINT position{0, 0};
  HWND under = nullptr;      // the window the pointer is over
  HWND tracked = nullptr;    // asked for WM_MOUSELEAVE
  HWND last_down_window = nullptr;
  UINT last_down_message = 0;
  BackendTime last_down_time = 0;
  POINT last_down_point{0, 0};
};

PointerState& pointer() {
  static PointerState state;
  return state;
}

Window* input_root(HWND handle) {
  Window* root = window_root(window_from(handle));
  return root && !root->destroying ? root : nullptr;
}

HWND hit_test(Window* window, POINT client_point) {
  for (HWND handle : window->children) {
    Window* child = window_from(handle);
    if (!child || !(child->style & WS_VISIBLE) || !PtInRect(&child->rect, client_point)) continue;
    POINT inner{client_point.x - child->rect.left - child->client.left, client_point.y - child->rect.top - child->client.top};
    // A disabled child lets the click through to its parent.
    if (child->style & WS_DISABLED) return window->handle;
    return hit_test(child, inner);
  }
  return window->handle;
}

POINT to_screen(Window* root, POINT client_point) {
  POINT origin = window_client_origin_screen(root);
  return POINT{origin.x + client_point.x, origin.y + client_point.y};
}

void post_input(HWND target, UINT message, WPARAM wparam, LPARAM lparam) {
  queue_post_input(MSG{target, message, wparam, lparam, queue_time_now(), cursor_position()});
}

void leave_if_moved_away(HWND now_under) {
  HWND tracked = pointer().tracked;
  if (tracked && tracked != now_under) {
    pointer().tracked = nullptr;
    if (IsWindow(tracked)) queue_post(tracked, WM_MOUSELEAVE, 0, 0);
  }
  pointer().under = now_under;
}

// Where a mouse message goes and its position in that window's client area.
bool mouse_target(HWND handle, POINT client_point, HWND* target, POINT* local) {
  Window* root = input_root(handle);
  if (!root) return false;
  // Positions far off any window are still positions; kept where sums cannot overflow.
  client_point.x = std::clamp<LONG>(client_point.x, -65536, 65536);
  client_point.y = std::clamp<LONG>(client_point.y, -65536, 65536);
  POINT screen = to_screen(root, client_point);
  cursor_set_position(screen);
  HWND under = hit_test(root, client_point);
  leave_if_moved_away(under);
  HWND capture = GetCapture();
  if (!capture && (root->style & WS_DISABLED)) return false;
  *target = capture ? capture : under;
  *local = screen;
  ScreenToClient(*target, local);
  return true;
}

UINT button_message(InputButton button, bool down) {
  static const UINT downs[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  static const UINT ups[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
  return down ? downs[button] : ups[button];
}

UINT button_key(InputButton button) {
  static const UINT keys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  return keys[button];
}

// A second press of the same button on the same window, soon and close by,
// is a double click for windows whose class asks for them.
UINT double_click_of(HWND target, UINT message, POINT local) {
  PointerState& state = pointer();
  Window* window = window_from(target);
  BackendTime now = backend_current()->now();
  int slop = GetSystemMetrics(SM_CXDOUBLECLK) / 2;
  bool second = state.last_down_window == target && state.last_down_message == message &&
                now - state.last_down_time <= DOUBLE_CLICK_TIME && std::abs(local.x - state.last_down_point.x) <= slop &&
                std::abs(local.y - state.last_down_point.y) <= slop;
  if (second && window && (window->window_class->style & CS_DBLCLKS)) {
    state.last_down_window = nullptr;
    return message + 2;  // WM_xBUTTONDBLCLK follows WM_xBUTTONDOWN and WM_xBUTTONUP
  }
  state.last_down_window = target;
  state.last_down_message = message;
  state.last_down_time = now;
  state.last_down_point = local;
  return message;
}

LPARAM key_lparam(bool down, bool was_down) {
  DWORD bits = 1;  // repeat count
  if (keyboard_physical_down(VK_MENU)) bits |= 1u << 29;
  if (was_down) bits |= 1u << 30;
  if (!down) bits |= 1u << 31;
  return static_cast<LPARAM>(static_cast<LONG>(bits));
}

bool is_system_key(UINT key) {
  bool alt = keyboard_physical_down(VK_MENU) && !keyboard_physical_down(VK_CONTROL);
  return alt || key == VK_MENU || key == VK_F10;
}

}  // namespace

void cursor_set_position(POINT screen_point) { pointer().position = screen_point; }
POINT cursor_position() { return pointer().position; }

void mouse_track_leave(HWND window, bool track) {
  if (track) {
    pointer().tracked = window;
    // The pointer is elsewhere already: the notice comes at once.
    if (pointer().under != window) leave_if_moved_away(pointer().under);
  } else if (pointer().tracked == window) {
    pointer().tracked = nullptr;
  }
}

HWND mouse_tracked_window() { return pointer().tracked; }
void pointer_reset() { pointer() = PointerState{}; }

void input_key(HWND window, UINT key, BOOL down) {
  Window* root = input_root(window);
  key &= 0xFF;
  bool was_down = keyboard_physical_down(key);
  keyboard_set_physical(key, down != FALSE);
  if (!root || (root->style & WS_DISABLED)) return;
  HWND focus = GetFocus();
  HWND target = focus && window_root(window_from(focus)) == root ? focus : root->handle;
  UINT message = is_system_key(key) ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  if (key == VK_MENU && !down) message = WM_SYSKEYUP;
  post_input(target, message, key, key_lparam(down != FALSE, was_down));
}

void input_mouse_move(HWND window, POINT client_point) {
  HWND target;
  POINT local;
  if (!mouse_target(window, client_point, &target, &local)) return;
  post_input(target, WM_MOUSEMOVE, mouse_key_flags(), MAKELPARAM(local.x, local.y));
}

void input_mouse_button(HWND window, InputButton button, BOOL down, POINT client_point) {
  if (button < INPUT_BUTTON_LEFT || button > INPUT_BUTTON_MIDDLE) return;
  keyboard_set_physical(button_key(button), down != FALSE);
  HWND target;
  POINT local;
  if (!mouse_target(window, client_point, &target, &local)) return;
  UINT message = button_message(button, down != FALSE);
  if (down) message = double_click_of(target, message, local);
  post_input(target, message, mouse_key_flags(), MAKELPARAM(local.x, local.y));
}

void input_mouse_wheel(HWND window, POINT client_point, int delta) {
  HWND target;
  POINT local;
  if (!mouse_target(window, client_point, &target, &local)) return;
  HWND focus = GetFocus();
  if (focus && window_root(window_from(focus)) == window_root(window_from(target))) target = focus;
  POINT screen = cursor_position();
  post_input(target, WM_MOUSEWHEEL, MAKEWPARAM(mouse_key_flags(), static_cast<SHORT>(delta)),
             MAKELPARAM(screen.x, screen.y));
}

void input_mouse_left(HWND window) {
  if (!input_root(window)) return;
  leave_if_moved_away(nullptr);
}

// The close box and the menu are clicks of the user: they queue behind the
// keys and clicks made before them instead of overtaking them.
void input_close_request(HWND window) {
  Window* root = input_root(window);
  if (!root || (root->style & WS_DISABLED)) return;
  post_input(root->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void input_menu_command(HWND window, UINT id) {
  Window* root = input_root(window);
  if (!root || (root->style & WS_DISABLED)) return;
  post_input(root->handle, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void input_menu_bar_opened(HWND window) {
  Window* root = input_root(window);
  if (!root || (root->style & WS_DISABLED)) return;
  post_input(root->handle, WM_SYSCOMMAND, SC_MOUSEMENU, 0);
}

void input_window_state(HWND window, InputWindowState state) {
  Window* root = input_root(window);
  if (!root) return;
  bool minimized = (root->style & WS_MINIMIZE) != 0;
  bool maximized = (root->style & WS_MAXIMIZE) != 0;
  // Only changes: the display reports what user32 asked for as well.
  if (state == INPUT_WINDOW_MINIMIZED && !minimized) ShowWindow(root->handle, SW_SHOWMINNOACTIVE);
  if (state == INPUT_WINDOW_MAXIMIZED && !maximized) ShowWindow(root->handle, SW_SHOWMAXIMIZED);
  if (state == INPUT_WINDOW_RESTORED && (minimized || maximized)) ShowWindow(root->handle, SW_RESTORE);
}

void input_window_exposed(HWND window) {
  if (Window* root = input_root(window)) paint_invalidate(root, nullptr, true, true);
}

void input_window_moved(HWND window, const RECT* frame) {
  Window* root = input_root(window);
  if (!root || !frame) return;
  SetWindowPos(root->handle, nullptr, frame->left, frame->top, rect_width(*frame), rect_height(*frame),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void input_window_activated(HWND window, BOOL active) {
  Window* root = input_root(window);
  if (!root) return;
  if (active) activation_set(root->handle, true);
  else if (GetActiveWindow() == root->handle) activation_set(nullptr, false);
}

void input_dispatch_pending() {
  // Bounded, so that a window that never validates its update region cannot
  // hold a modal loop here forever.
  MSG message;
  for (int count = 0; count < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++count) {
    if (message.message == WM_QUIT) {
      // A modal loop hands WM_QUIT on to the loop outside it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool input_on_retrieval(const MSG& message) {
  keyboard_track_message(message);
  UINT kind = message.message;
  bool button_down = kind == WM_LBUTTONDOWN || kind == WM_LBUTTONDBLCLK || kind == WM_RBUTTONDOWN ||
                     kind == WM_RBUTTONDBLCLK || kind == WM_MBUTTONDOWN || kind == WM_MBUTTONDBLCLK;
  HWND target = message.hwnd;
  if (!IsWindow(target)) return false;
  if (button_down && target != GetActiveWindow()) {
    HWND root = window_root(window_from(target))->handle;
    LRESULT answer = SendMessageW(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(root), MAKELPARAM(HTCLIENT, kind));
    if ((answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) && IsWindow(root) && GetActiveWindow() != root)
      activation_set(root, true);
    if (answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT) return false;
  }
  if ((button_down || kind == WM_MOUSEMOVE) && !GetCapture() && IsWindow(target))
    SendMessageW(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTCLIENT, kind));
  return IsWindow(target) != FALSE;
}
