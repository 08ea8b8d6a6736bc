// GetWindowLong/SetWindowLong (pointer-wide, see user32.h) and window texts.
#include <algorithm>

#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

namespace {

constexpr DWORD ERROR_INVALID_INDEX = 1413;

LONG_PTR read_long(Window* window, int index) {
  switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(window->procedure);
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(window->instance);
    case GWL_HWNDPARENT: return reinterpret_cast<LONG_PTR>(window->parent ? window->parent : window->owner);
    case GWL_STYLE: return static_cast<LONG>(window->style);
    case GWL_EXSTYLE: return static_cast<LONG>(window->ex_style);
    case GWL_USERDATA: return window->user_data;
    case GWL_ID: return window->id;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
}

LONG_PTR write_long(HWND handle, int index, LONG_PTR value) {
  Window* window = window_from(handle);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LONG_PTR previous = read_long(window, index);
  switch (index) {
    case GWL_WNDPROC:
      if (!value) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      window->procedure = reinterpret_cast<WNDPROC>(value);
      break;
    case GWL_HINSTANCE: window->instance = reinterpret_cast<HINSTANCE>(value); break;
    case GWL_HWNDPARENT:
      if (!window->parent) window->owner = reinterpret_cast<HWND>(value);
      break;
    // Every bit is taken as given, WS_VISIBLE too: IsWindowVisible follows it
    // (WM_SETREDRAW works this way), though nothing is shown or hidden until
    // the next ShowWindow or SetWindowPos, as the display caches the state.
    case GWL_STYLE: window->style = static_cast<DWORD>(value); break;
    case GWL_EXSTYLE: window->ex_style = static_cast<DWORD>(value); break;
    case GWL_USERDATA: window->user_data = value; break;
    case GWL_ID: window->id = value; break;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
  SetLastError(0);
  return previous;
}

}  // namespace

LONG_PTR GetWindowLongW(HWND handle, int index) {
  Window* window = window_from(handle);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return read_long(window, index);
}

LONG_PTR GetWindowLongA(HWND handle, int index) { return GetWindowLongW(handle, index); }
LONG_PTR GetWindowLongPtrW(HWND handle, int index) { return GetWindowLongW(handle, index); }
LONG_PTR SetWindowLongW(HWND handle, int index, LONG_PTR value) { return write_long(handle, index, value); }
LONG_PTR SetWindowLongA(HWND handle, int index, LONG_PTR value) { return write_long(handle, index, value); }
LONG_PTR SetWindowLongPtrW(HWND handle, int index, LONG_PTR value) { return write_long(handle, index, value); }

BOOL SetWindowTextW(HWND handle, LPCWSTR text) {
  if (!window_from(handle)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return SendMessageW(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextW(HWND handle, LPWSTR buffer, int buffer_length) {
  if (!window_from(handle) || !buffer || buffer_length <= 0) return 0;
  return static_cast<int>(SendMessageW(handle, WM_GETTEXT, buffer_length, reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND handle) {
  if (!window_from(handle)) return 0;
  return static_cast<int>(SendMessageW(handle, WM_GETTEXTLENGTH, 0, 0));
}

// DefWindowProc's text messages.
LRESULT window_text_default(Window* window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SETTEXT:
      window->title = text_of(reinterpret_cast<LPCWSTR>(lparam));
      if (!window->parent) backend_current()->window_retitled(window->handle, window->title.c_str());
      return TRUE;
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<LPWSTR>(lparam);
      if (!buffer || wparam == 0) return 0;
      size_t count = std::min<size_t>(window->title.size(), wparam - 1);
      window->title.copy(buffer, count);
      buffer[count] = 0;
      return static_cast<LRESULT>(count);
    }
    default:  // WM_GETTEXTLENGTH
      return static_cast<LRESULT>(window->title.size());
  }
}
