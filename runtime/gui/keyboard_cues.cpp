#include "runtime/gui/keyboard_cues.h"

namespace {

constexpr LRESULT CUE_FLAGS = UISF_HIDEFOCUS | UISF_HIDEACCEL;

}  // namespace

void keyboard_cues_show(HWND window) {
  if (SendMessageW(window, WM_QUERYUISTATE, 0, 0) & CUE_FLAGS)
    SendMessageW(window, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, CUE_FLAGS), 0);
}

void keyboard_cues_hide(HWND window) {
  if ((SendMessageW(window, WM_QUERYUISTATE, 0, 0) & CUE_FLAGS) != CUE_FLAGS)
    SendMessageW(window, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, CUE_FLAGS), 0);
}
