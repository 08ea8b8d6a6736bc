// Message boxes, and the bracket every modal requester puts around itself: the
// owner is deactivated and disabled while the requester is open and enabled and
// reactivated after it. The display runs the requester and keeps the thread's
// messages dispatching meanwhile.
#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

ModalOwner modal_begin(HWND owner) {
  ModalOwner state;
  Window* root = window_root(window_from(owner));
  if (!root) return state;
  state.owner = root->handle;
  // The requester becomes the active window: the owner is told first, while its
  // focus is still where the user left it.
  if (GetActiveWindow() == state.owner) activation_set(nullptr, false);
  state.was_enabled = IsWindowEnabled(state.owner) != FALSE;
  if (state.was_enabled) EnableWindow(state.owner, FALSE);
  return state;
}

void modal_end(const ModalOwner& state) {
  if (!state.owner || !IsWindow(state.owner)) return;
  // Enabled before the requester goes, so that activation returns to the owner.
  if (state.was_enabled) EnableWindow(state.owner, TRUE);
  if (IsWindowVisible(state.owner) && IsWindowEnabled(state.owner)) activation_set(state.owner, true);
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  if (owner && !IsWindow(owner)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  ModalOwner modal = modal_begin(owner);
  int result = backend_current()->run_message_box(modal.owner, text ? text : u"", caption ? caption : u"Error", type);
  modal_end(modal);
  return result;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  std::u16string wide_text = text_from_utf8(text);
  std::u16string wide_caption = text_from_utf8(caption);
  return MessageBoxW(owner, wide_text.c_str(), caption ? wide_caption.c_str() : nullptr, type);
}
