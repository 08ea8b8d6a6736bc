// The menu bar's modal loop, which DefWindowProc enters for WM_SYSCOMMAND
// SC_KEYMENU (F10, or Alt pressed and released alone) and SC_MOUSEMENU (a
// click on the bar). Its messages are Win32's: WM_ENTERMENULOOP, WM_INITMENU,
// WM_INITMENUPOPUP and WM_MENUSELECT as the user moves, a WM_MENUSELECT with
// 0xFFFF flags as it closes, WM_EXITMENULOOP, and then the chosen item's
// WM_COMMAND, posted. The display runs the menu meanwhile; the program's own
// message loop waits until the menu is closed.
#include "platform/backend/input.h"
#include "platform/user32/user32_internal.h"

namespace {

constexpr WORD MENU_CLOSED = 0xFFFF;
constexpr LPARAM PREVIOUSLY_DOWN = 1L << 30;

// The key whose release enters the menu loop: F10 or Alt, pressed last with
// nothing else since; 0 when another key came between.
UINT pending_menu_key = 0;

HWND menu_owner(HWND window) {
  Window* root = window_root(window_from(window));
  if (!root || root->parent || !root->menu || !IsMenu(root->menu)) return nullptr;
  return root->handle;
}

// Win32's flags of an item in WM_MENUSELECT.
UINT selection_flags(HMENU menu, UINT position) {
  const UINT state = GetMenuState(menu, position, MF_BYPOSITION);
  UINT flags = MF_HILITE | (state & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR));
  if (GetSubMenu(menu, static_cast<int>(position))) flags |= MF_POPUP;
  return flags;
}

}  // namespace

void menu_loop_run(HWND window, bool by_keyboard) {
  HWND owner = menu_owner(window);
  if (!owner) return;
  SendMessageW(owner, WM_ENTERMENULOOP, FALSE, 0);
  SendMessageW(owner, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(owner)), 0);
  const int chosen = backend_current()->run_menu_bar(owner, by_keyboard ? TRUE : FALSE);
  if (!IsWindow(owner)) return;
  SendMessageW(owner, WM_MENUSELECT, MAKEWPARAM(0, MENU_CLOSED), 0);
  SendMessageW(owner, WM_EXITMENULOOP, FALSE, 0);
  if (chosen >= 0) PostMessageW(owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}

void input_menu_popup_opened(HWND window, HMENU popup, UINT position) {
  if (HWND owner = menu_owner(window); owner && IsMenu(popup))
    SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(position, FALSE));
}

void input_menu_item_selected(HWND window, HMENU menu, UINT position) {
  HWND owner = menu_owner(window);
  if (!owner || !IsMenu(menu)) return;
  const UINT flags = selection_flags(menu, position);
  // A popup is named by its position, a command by its id.
  const UINT item = (flags & MF_POPUP) ? position : GetMenuItemID(menu, static_cast<int>(position));
  SendMessageW(owner, WM_MENUSELECT, MAKEWPARAM(item, flags), reinterpret_cast<LPARAM>(menu));
}

void menu_keys_track(HWND window, UINT message, WPARAM key, LPARAM lparam) {
  const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  if (down) {
    if ((lparam & PREVIOUSLY_DOWN) && key == pending_menu_key) return;  // held: it repeats
    // With Ctrl held Alt makes no menu key (Ctrl+Alt combinations), nor F10
    // with Shift (the context menu's key).
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    const bool menu_key = (key == VK_MENU && !control) || (key == VK_F10 && !control && !shift);
    pending_menu_key = message == WM_SYSKEYDOWN && menu_key ? static_cast<UINT>(key) : 0;
    return;
  }
  const bool enters = pending_menu_key != 0 && key == pending_menu_key;
  pending_menu_key = 0;
  if (!enters) return;
  Window* root = window_root(window_from(window));
  if (root) SendMessageW(root->handle, WM_SYSCOMMAND, SC_KEYMENU, 0);
}

void menu_keys_reset() { pending_menu_key = 0; }
