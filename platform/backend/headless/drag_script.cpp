#include "platform/backend/headless/drag_script.h"

#include "platform/backend/drag_input.h"
#include "platform/backend/headless/headless_state.h"
#include "platform/ole32/drag_data_object.h"
#include "platform/ole32/window_tree.h"
#include "platform/win32/user32.h"

HeadlessDragResult headless_drag_data(HWND window, IDataObject* data, POINT client_point, DWORD offered,
                                      DWORD key_state, HeadlessDragEnd end) {
  HeadlessDragResult result{FALSE, DROPEFFECT_NONE, DROPEFFECT_NONE, DROPEFFECT_NONE};
  HWND top_level = window_tree_root(window);
  if (data == nullptr || top_level == nullptr || !IsWindow(window)) return result;
  // Like a real display, offer the drag only to windows that said they take drops.
  if (!headless_window_state(top_level).accepts_drops) return result;
  // The display reports positions in the top-level window's client area.
  POINT point = client_point;
  MapWindowPoints(window, top_level, &point, 1);
  DWORD held = key_state | MK_LBUTTON;
  result.delivered = TRUE;
  result.enter_effect = drag_input_enter(top_level, data, point, held, offered);
  result.over_effect = drag_input_over(top_level, point, held, offered);
  if (end == HEADLESS_DRAG_DROP) {
    result.final_effect = drag_input_drop(top_level, point, key_state & ~static_cast<DWORD>(MK_LBUTTON), offered);
  } else {
    drag_input_leave(top_level);
  }
  return result;
}

namespace {

HeadlessDragResult drag_and_release(HWND window, IDataObject* data, POINT client_point, DWORD offered,
                                    DWORD key_state, HeadlessDragEnd end) {
  HeadlessDragResult result = headless_drag_data(window, data, client_point, offered, key_state, end);
  if (data != nullptr) data->Release();
  return result;
}

}  // namespace

HeadlessDragResult headless_drag_files(HWND window, const std::vector<std::u16string>& paths, POINT client_point,
                                       DWORD offered, DWORD key_state, HeadlessDragEnd end) {
  return drag_and_release(window, drag_data_create_files(paths), client_point, offered, key_state, end);
}

HeadlessDragResult headless_drag_text(HWND window, std::u16string_view text, POINT client_point, DWORD offered,
                                      DWORD key_state, HeadlessDragEnd end) {
  return drag_and_release(window, drag_data_create_text(text), client_point, offered, key_state, end);
}

void headless_script_drag_files(BackendTime at, HWND window, const std::vector<std::u16string>& paths,
                                POINT client_point, DWORD offered, DWORD key_state) {
  headless_schedule(at, [=] { headless_drag_files(window, paths, client_point, offered, key_state); });
}
