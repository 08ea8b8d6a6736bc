// Accelerator tables and TranslateAcceleratorW: an entry matches a key-down
// message when its key matches and Shift, Ctrl and Alt are held exactly as the
// entry says, no more and no fewer. A command that names an item of the
// window's menu is treated as choosing that item: the menu is initialised
// first, and an item that could not be chosen sends nothing. These windows
// have no system menu, so only the window's own menu is searched.
#include <algorithm>
#include <map>
#include <vector>

#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

namespace {

std::map<HACCEL, std::vector<ACCEL>>& tables() {
  static std::map<HACCEL, std::vector<ACCEL>> table;
  return table;
}

ULONG_PTR next_table = 0x30010;

bool key_down(int key) { return (GetKeyState(key) & 0x8000) != 0; }

BYTE held_modifiers() {
  BYTE held = 0;
  if (key_down(VK_SHIFT)) held |= FSHIFT;
  if (key_down(VK_CONTROL)) held |= FCONTROL;
  if (key_down(VK_MENU)) held |= FALT;
  return held;
}

bool matches(const ACCEL& entry, const MSG& message) {
  bool key_message = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
  bool char_message = message.message == WM_CHAR || message.message == WM_SYSCHAR;
  if (entry.fVirt & FVIRTKEY) {
    if (!key_message || entry.key != (message.wParam & 0xFFFF)) return false;
    return (entry.fVirt & (FSHIFT | FCONTROL | FALT)) == held_modifiers();
  }
  // Character entries: the character itself, Alt as the entry says.
  if (!char_message || entry.key != (message.wParam & 0xFFFF)) return false;
  bool alt = (message.lParam & (1L << 29)) != 0;
  return alt == ((entry.fVirt & FALT) != 0);
}

// Where an item stands: the menu holding it and its position there.
struct MenuPlace {
  HMENU menu = nullptr;
  int position = -1;
};

// The first item in menu order with the command, popups searched where they
// stand. Separators carry ids too, and are found like any other item.
MenuPlace find_command(HMENU menu, UINT command) {
  int count = menu ? GetMenuItemCount(menu) : 0;
  for (int i = 0; i < count; ++i) {
    if (HMENU popup = GetSubMenu(menu, i)) {
      MenuPlace inner = find_command(popup, command);
      if (inner.menu) return inner;
    } else if (GetMenuItemID(menu, i) == command) {
      return {menu, i};
    }
  }
  return {};
}

// The item that opens `popup`, somewhere under `menu`.
MenuPlace find_popup(HMENU menu, HMENU popup) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    HMENU inner = GetSubMenu(menu, i);
    if (!inner) continue;
    if (inner == popup) return {menu, i};
    MenuPlace found = find_popup(inner, popup);
    if (found.menu) return found;
  }
  return {};
}

// As if the user were opening the menu down to the item: the window may
// enable, gray or check items before the command is looked at.
void initialise_menu(HWND window, HMENU bar, HMENU holder) {
  SendMessageW(window, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
  if (holder == bar) return;
  MenuPlace opener = find_popup(bar, holder);
  SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(holder), MAKELPARAM(opener.position, FALSE));
}

bool can_be_chosen(MenuPlace item) {
  UINT state = GetMenuState(item.menu, static_cast<UINT>(item.position), MF_BYPOSITION);
  return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR));
}

// The key is consumed whatever happens here; only whether a WM_COMMAND goes
// out depends on the menu. A command no menu item names always goes out.
void send_command(HWND window, WORD command) {
  HMENU bar = GetMenu(window);
  MenuPlace item = find_command(bar, command);
  if (item.menu) {
    // A disabled window's menu cannot be opened, nor a minimised one's.
    if (!IsWindowEnabled(window)) return;
    if (IsIconic(window)) return;
    // No menu opens while the mouse is captured, so it is not initialised;
    // the command still goes out.
    if (!GetCapture()) initialise_menu(window, bar, item.menu);
    if (!IsWindow(window)) return;
    // The window may have changed its menu while initialising it.
    item = find_command(GetMenu(window), command);
    if (item.menu && !can_be_chosen(item)) return;
  }
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(command, 1), 0);
}

}  // namespace

HACCEL CreateAcceleratorTableW(LPACCEL entries, int count) {
  if (!entries || count <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HACCEL handle = reinterpret_cast<HACCEL>(next_table);
  next_table += 4;
  tables().emplace(handle, std::vector<ACCEL>(entries, entries + count));
  return handle;
}

BOOL DestroyAcceleratorTable(HACCEL table) { return tables().erase(table) ? TRUE : FALSE; }

int CopyAcceleratorTableW(HACCEL table, LPACCEL entries, int count) {
  auto found = tables().find(table);
  if (found == tables().end()) return 0;
  int size = static_cast<int>(found->second.size());
  if (!entries) return size;
  int copied = std::min(size, count);
  for (int i = 0; i < copied; ++i) entries[i] = found->second[i];
  return copied;
}

int TranslateAcceleratorW(HWND window, HACCEL table, LPMSG message) {
  auto found = tables().find(table);
  if (!window || !message || found == tables().end()) {
    SetLastError(found == tables().end() ? ERROR_INVALID_ACCEL_HANDLE : ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  for (const ACCEL& entry : found->second) {
    if (!matches(entry, *message)) continue;
    send_command(window, entry.cmd);
    return 1;
  }
  return 0;
}

void accelerator_reset() { tables().clear(); }
