// Drags from outside the program over its windows, as a display backend reports
// them. They reach the IDropTarget registered (RegisterDragDrop) for the window under
// the pointer, or for its nearest ancestor that has one, the way OLE's drag loop
// delivers them: DragEnter when the pointer comes over a target, DragOver while it
// moves there, DragLeave when it moves off or the drag ends elsewhere, and Drop on
// release (DragLeave instead when the target refused the last position).
//
// `window` is the top-level window under the pointer; positions are its client
// coordinates (the targets receive screen coordinates). `key_state` holds MK_* bits
// (buttons held and Shift, Control, Alt); `offered` the DROPEFFECT_* bits the source
// allows. Each call returns the effect the target chose, limited to `offered`:
// DROPEFFECT_NONE where nothing accepts. One drag runs at a time; everything runs on
// the GUI thread.
#pragma once

#include "platform/win32/ole32.h"

// Starts a drag over `window` carrying `data` (referenced until the drag ends). A
// drag still running is left first.
DWORD drag_input_enter(HWND window, IDataObject* data, POINT client_point, DWORD key_state, DWORD offered);
// The pointer moved or the keys changed. No effect unless a drag entered `window`.
DWORD drag_input_over(HWND window, POINT client_point, DWORD key_state, DWORD offered);
// The pointer left `window`, or the drag was cancelled: the drag ends.
void drag_input_leave(HWND window);
// The source was released over `window`: the drag ends with this effect.
DWORD drag_input_drop(HWND window, POINT client_point, DWORD key_state, DWORD offered);
