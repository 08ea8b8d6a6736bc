// DestroyWindow: owned windows go first; the window is hidden and loses
// activation, focus and capture; WM_DESTROY goes to the window and then its
// children, WM_NCDESTROY to the children and then the window, last of all.
#include <algorithm>

#include "platform/call_watch.h"
#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

namespace {

void send_destroy(HWND handle) {
  SendMessageW(handle, WM_DESTROY, 0, 0);
  Window* window = window_from(handle);
  if (!window) return;
  std::vector<HWND> children = window->children;
  for (HWND child : children) send_destroy(child);
}

void free_record(HWND handle) {
  Window* window = window_from(handle);
  if (!window) return;
  timer_kill_window(handle);
  queue_forget_window(handle);
  if (mouse_tracked_window() == handle) mouse_track_leave(handle, false);
  window_destroy_menu_of(window);
  window->window_class->window_count--;
  if (Window* parent = window_from(window->parent)) {
    auto& siblings = parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
  } else {
    backend_current()->window_destroyed(handle);
  }
  window_remove(handle);
}

// Children first: a window's WM_NCDESTROY is the last message it receives.
void send_nc_destroy(HWND handle) {
  Window* window = window_from(handle);
  if (!window) return;
  std::vector<HWND> children = window->children;
  for (HWND child : children) send_nc_destroy(child);
  SendMessageW(handle, WM_NCDESTROY, 0, 0);
  free_record(handle);
}

void destroy_owned_windows(HWND owner) {
  std::vector<HWND> owned;
  for (HWND top : window_top_levels())
    if (Window* window = window_from(top); window && window->owner == owner) owned.push_back(top);
  for (HWND handle : owned) DestroyWindow(handle);
}

void notify_parent(Window* window) {
  if (!window->parent || (window->ex_style & WS_EX_NOPARENTNOTIFY)) return;
  SendMessageW(window->parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, window->id),
               reinterpret_cast<LPARAM>(window->handle));
}

void mark_destroying(Window* window) {
  window->destroying = true;
  for (HWND child : window->children)
    if (Window* record = window_from(child)) mark_destroying(record);
}

}  // namespace

BOOL DestroyWindow(HWND handle) {
  call_noted(handle, "DestroyWindow");
  Window* window = window_from(handle);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (window->destroying) return TRUE;
  notify_parent(window);
  if (!window_from(handle) || window_from(handle)->destroying) return TRUE;
  window = window_from(handle);
  window->destroying = true;
  if (window->style & WS_VISIBLE) {
    UINT flags = SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
    SetWindowPos(handle, nullptr, 0, 0, 0, 0, flags);
  }
  if (!window_from(handle)) return TRUE;
  activation_window_leaving(window_from(handle));
  if (!window_from(handle)) return TRUE;
  if (!window_from(handle)->parent) destroy_owned_windows(handle);
  if (!window_from(handle)) return TRUE;
  mark_destroying(window_from(handle));
  send_destroy(handle);
  send_nc_destroy(handle);
  return TRUE;
}
