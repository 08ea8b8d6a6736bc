// Where RegisterDragDrop keeps a window's drop target, and how a drag finds the
// target responsible for a point of a top-level window.
#pragma once

#include "platform/win32/ole32.h"

// The target registered for exactly this window, or null (no reference is added).
IDropTarget* drop_target_registered(HWND window);

struct DropTargetAtPoint {
  HWND window;          // the window whose registration answered, or null
  IDropTarget* target;  // its target (no reference added), or null
};

// The target for a screen point over `top_level`: that of the deepest visible window
// there, or of its nearest ancestor that has one. None over a hidden or disabled window.
DropTargetAtPoint drop_target_at(HWND top_level, POINT screen_point);
