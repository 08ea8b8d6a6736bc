// Scripted drags for tests on the headless display: files or text dragged from
// outside the program onto a window, as a user would with the left button held.
// The drag enters at the point, moves over it once, then is released there or
// taken away again. Enter and over carry `key_state` | MK_LBUTTON; the drop carries
// `key_state` alone, the button having been let go.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/backend/backend.h"
#include "platform/win32/ole32.h"

enum HeadlessDragEnd { HEADLESS_DRAG_DROP, HEADLESS_DRAG_LEAVE };

struct HeadlessDragResult {
  BOOL delivered;      // FALSE if the data or the window was unusable: nothing happened
  DWORD enter_effect;  // the effect shown when the drag came over the window
  DWORD over_effect;   // the effect shown after the move
  DWORD final_effect;  // the drop's effect; DROPEFFECT_NONE when taken away
};

// `window` may be a child window; `client_point` is in its client coordinates. As on a
// real display, only top-level windows that take drops (a drop target is registered in
// them) are offered the drag; hidden or disabled ones get nothing.
// `key_state` holds MK_SHIFT, MK_CONTROL, MK_ALT; `offered` DROPEFFECT_* bits.
HeadlessDragResult headless_drag_files(HWND window, const std::vector<std::u16string>& paths, POINT client_point,
                                       DWORD offered, DWORD key_state, HeadlessDragEnd end = HEADLESS_DRAG_DROP);
HeadlessDragResult headless_drag_text(HWND window, std::u16string_view text, POINT client_point, DWORD offered,
                                      DWORD key_state, HeadlessDragEnd end = HEADLESS_DRAG_DROP);
// The same drag and drop of files, made when user32 next waits for input once the
// clock reached `at`, as a user's drag arrives while the program waits.
void headless_script_drag_files(BackendTime at, HWND window, const std::vector<std::u16string>& paths,
                                POINT client_point, DWORD offered, DWORD key_state);
// Any data object (referenced only while the drag runs).
HeadlessDragResult headless_drag_data(HWND window, IDataObject* data, POINT client_point, DWORD offered,
                                      DWORD key_state, HeadlessDragEnd end = HEADLESS_DRAG_DROP);
