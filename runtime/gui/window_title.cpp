// The title in a window's caption.
#include "runtime/gui/window.h"

bool window_title_set(ObjectId number, const char16_t* title) {
  const HWND handle = window_handle(number);
  return handle && SetWindowTextW(handle, title ? title : u"") != FALSE;
}
