// Calling window procedures: SendMessage calls the window's current procedure
// directly (one GUI thread), CallWindowProc calls a given one (subclassing).
// Procedures take the same arguments on the A and W sides here.
#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!procedure) return 0;
  return procedure(window, message, wparam, lparam);
}

LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return CallWindowProcW(procedure, window, message, wparam, lparam);
}

LRESULT SendMessageW(HWND handle, UINT message, WPARAM wparam, LPARAM lparam) {
  if (handle == HWND_BROADCAST) {
    std::vector<HWND> tops = window_top_levels();
    for (HWND top : tops)
      if (Window* window = window_from(top)) CallWindowProcW(window->procedure, top, message, wparam, lparam);
    return 1;
  }
  Window* window = window_from(handle);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return CallWindowProcW(window->procedure, handle, message, wparam, lparam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return SendMessageW(window, message, wparam, lparam);
}
