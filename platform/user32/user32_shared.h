// What user32 lends the other libraries of the platform: comdlg32's dialogs are modal like
// user32's message boxes, and comctl32's _TrackMouseEvent asks user32 for WM_MOUSELEAVE.
#pragma once

#include "platform/win32/user32.h"

// Disables and deactivates the owner's top-level window around a modal requester.
struct ModalOwner {
  HWND owner = nullptr;
  bool was_enabled = false;
};
ModalOwner modal_begin(HWND owner);
void modal_end(const ModalOwner& state);

// The window that asked for WM_MOUSELEAVE (`track`) or stopped asking.
void mouse_track_leave(HWND window, bool track);
HWND mouse_tracked_window();
