// Input as a test gives it: delivered to user32 at once, or scripted for the
// moment user32 next waits for input.
#include <algorithm>

#include "platform/backend/headless/headless_state.h"
#include "platform/win32/user32.h"

namespace {

void press_modifiers(HWND window, UINT modifiers, BOOL down) {
  const UINT keys[] = {VK_SHIFT, VK_CONTROL, VK_MENU};
  const UINT bits[] = {HEADLESS_SHIFT, HEADLESS_CONTROL, HEADLESS_ALT};
  for (int i = 0; i < 3; ++i) {
    int index = down ? i : 2 - i;  // released in the reverse order
    if (modifiers & bits[index]) headless_key(window, keys[index], down);
  }
}

bool menu_has_enabled_item(HMENU menu, UINT id, int depth) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count && depth < 16; ++i) {
    if (HMENU popup = GetSubMenu(menu, i)) {
      if (menu_has_enabled_item(popup, id, depth + 1)) return true;
      continue;
    }
    UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    if (GetMenuItemID(menu, i) == id && !(state & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED))) return true;
  }
  return false;
}

}  // namespace

void headless_schedule(BackendTime at, std::function<void()> deliver) {
  auto& script = headless_state().script;
  auto position = std::upper_bound(script.begin(), script.end(), at,
                                   [](BackendTime time, const HeadlessScriptStep& step) { return time < step.at; });
  script.insert(position, HeadlessScriptStep{at, std::move(deliver)});
}

void headless_key(HWND window, UINT virtual_key, BOOL down) {
  virtual_key &= 0xFF;
  headless_state().keys[virtual_key] = down != FALSE;
  input_key(window, virtual_key, down);
}

void headless_key_press(HWND window, UINT virtual_key, UINT modifiers) {
  press_modifiers(window, modifiers, TRUE);
  headless_key(window, virtual_key, TRUE);
  headless_key(window, virtual_key, FALSE);
  press_modifiers(window, modifiers, FALSE);
}

void headless_mouse_move(HWND window, POINT client_point) { input_mouse_move(window, client_point); }

void headless_mouse_button(HWND window, InputButton button, BOOL down, POINT client_point) {
  static const UINT keys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  if (button >= INPUT_BUTTON_LEFT && button <= INPUT_BUTTON_MIDDLE) headless_state().keys[keys[button]] = down != FALSE;
  input_mouse_button(window, button, down, client_point);
}

void headless_click(HWND window, InputButton button, POINT client_point) {
  headless_mouse_move(window, client_point);
  headless_mouse_button(window, button, TRUE, client_point);
  headless_mouse_button(window, button, FALSE, client_point);
}

void headless_wheel(HWND window, POINT client_point, int delta) { input_mouse_wheel(window, client_point, delta); }
void headless_mouse_leave(HWND window) { input_mouse_left(window); }
void headless_close_box(HWND window) { input_close_request(window); }

BOOL headless_choose_menu(HWND window, UINT id) {
  HMENU bar = headless_window_state(window).menu;
  if (!bar || !menu_has_enabled_item(bar, id, 0)) return FALSE;
  input_menu_command(window, id);
  return TRUE;
}

void headless_script_key_press(BackendTime at, HWND window, UINT virtual_key, UINT modifiers) {
  headless_schedule(at, [=] { headless_key_press(window, virtual_key, modifiers); });
}

void headless_script_close_box(BackendTime at, HWND window) {
  headless_schedule(at, [=] { headless_close_box(window); });
}

BOOL headless_key_is_down(int virtual_key) {
  return virtual_key >= 0 && virtual_key < 256 && headless_state().keys[virtual_key] ? TRUE : FALSE;
}
