// Menus: bars and popups made of items (strings, separators, popups). A menu
// set on a window is its menu bar: it takes room from the client area, the
// display shows it, and it is destroyed with the window.
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

namespace {

struct MenuItem {
  UINT flags;
  UINT_PTR id;  // command id, or the popup's handle value
  HMENU popup;
  std::u16string text;
};

struct Menu {
  bool popup;
  std::vector<MenuItem> items;
};

std::map<HMENU, std::unique_ptr<Menu>>& menus() {
  static std::map<HMENU, std::unique_ptr<Menu>> table;
  return table;
}

ULONG_PTR next_menu = 0x20010;

Menu* menu_from(HMENU handle) {
  auto found = menus().find(handle);
  return found == menus().end() ? nullptr : found->second.get();
}

HMENU create(bool popup) {
  HMENU handle = reinterpret_cast<HMENU>(next_menu);
  next_menu += 4;
  menus().emplace(handle, std::make_unique<Menu>(Menu{popup, {}}));
  return handle;
}

MenuItem* item_by_command(Menu* menu, UINT id) {
  for (MenuItem& item : menu->items) {
    if (item.popup) {
      if (Menu* inner = menu_from(item.popup))
        if (MenuItem* found = item_by_command(inner, id)) return found;
    } else if (!(item.flags & MF_SEPARATOR) && static_cast<UINT>(item.id) == id) {
      return &item;
    }
  }
  return nullptr;
}

MenuItem* find_item(HMENU handle, UINT item, UINT flags) {
  Menu* menu = menu_from(handle);
  if (!menu) return nullptr;
  if (flags & MF_BYPOSITION) return item < menu->items.size() ? &menu->items[item] : nullptr;
  return item_by_command(menu, item);
}

bool holds(HMENU outer, HMENU inner) {
  if (outer == inner) return true;
  Menu* menu = menu_from(outer);
  if (!menu) return false;
  for (const MenuItem& item : menu->items)
    if (item.popup && holds(item.popup, inner)) return true;
  return false;
}

void tell_display(HMENU menu) {
  for (HWND top : window_top_levels())
    if (Window* window = window_from(top); window && window->menu == menu)
      backend_current()->menu_bar_changed(top, menu);
}

// The display shows items enabled or grayed, popups' items included.
void tell_display_of_bar_holding(HMENU menu) {
  for (HWND top : window_top_levels())
    if (Window* window = window_from(top); window && window->menu && holds(window->menu, menu))
      backend_current()->menu_bar_changed(top, window->menu);
}

// The menu bar's presence changes the client area: recompute it as SetWindowPos does.
void frame_changed(HWND window) {
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

HMENU CreateMenu() { return create(false); }
HMENU CreatePopupMenu() { return create(true); }
BOOL IsMenu(HMENU menu) { return menu_from(menu) ? TRUE : FALSE; }

void menu_destroy_handle(HMENU handle) {
  auto found = menus().find(handle);
  if (found == menus().end()) return;
  std::unique_ptr<Menu> menu = std::move(found->second);
  menus().erase(found);
  for (const MenuItem& item : menu->items)
    if (item.popup) menu_destroy_handle(item.popup);
}

BOOL DestroyMenu(HMENU handle) {
  if (!menu_from(handle)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  menu_destroy_handle(handle);
  return TRUE;
}

BOOL AppendMenuW(HMENU handle, UINT flags, UINT_PTR id_or_popup, LPCWSTR text) {
  Menu* menu = menu_from(handle);
  if (!menu) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  MenuItem item{flags, id_or_popup, nullptr, {}};
  if (flags & MF_POPUP) {
    item.popup = reinterpret_cast<HMENU>(id_or_popup);
    Menu* popup = menu_from(item.popup);
    if (!popup || item.popup == handle) {
      SetLastError(ERROR_INVALID_MENU_HANDLE);
      return FALSE;
    }
    popup->popup = true;
  }
  if (!(flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW))) item.text = text_of(text);
  menu->items.push_back(std::move(item));
  tell_display(handle);
  return TRUE;
}

BOOL SetMenu(HWND handle, HMENU menu) {
  Window* window = window_from(handle);
  if (!window || window->parent) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (menu && !menu_from(menu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  window->menu = menu;
  backend_current()->menu_bar_changed(handle, menu);
  frame_changed(handle);
  return TRUE;
}

HMENU GetMenu(HWND handle) {
  Window* window = window_from(handle);
  return window && !window->parent ? window->menu : nullptr;
}

BOOL DrawMenuBar(HWND handle) {
  Window* window = window_from(handle);
  if (!window) return FALSE;
  backend_current()->menu_bar_changed(handle, window->menu);
  return TRUE;
}

void window_destroy_menu_of(Window* window) {
  if (window->parent || !window->menu) return;
  menu_destroy_handle(window->menu);
  window->menu = nullptr;
}

int GetMenuItemCount(HMENU handle) {
  Menu* menu = menu_from(handle);
  if (!menu) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return -1;
  }
  return static_cast<int>(menu->items.size());
}

UINT GetMenuItemID(HMENU handle, int position) {
  Menu* menu = menu_from(handle);
  if (!menu || position < 0 || static_cast<size_t>(position) >= menu->items.size()) return static_cast<UINT>(-1);
  const MenuItem& item = menu->items[position];
  if (item.popup) return static_cast<UINT>(-1);
  return static_cast<UINT>(item.id);
}

HMENU GetSubMenu(HMENU handle, int position) {
  Menu* menu = menu_from(handle);
  if (!menu || position < 0 || static_cast<size_t>(position) >= menu->items.size()) return nullptr;
  return menu->items[position].popup;
}

int GetMenuStringW(HMENU handle, UINT item_number, LPWSTR buffer, int buffer_length, UINT flags) {
  MenuItem* item = find_item(handle, item_number, flags);
  if (!item) return 0;
  int length = static_cast<int>(item->text.size());
  if (!buffer) return length;
  if (buffer_length <= 0) return 0;
  int count = std::min(length, buffer_length - 1);
  item->text.copy(buffer, count);
  buffer[count] = 0;
  return count;
}

UINT GetMenuState(HMENU handle, UINT item_number, UINT flags) {
  MenuItem* item = find_item(handle, item_number, flags);
  if (!item) return static_cast<UINT>(-1);
  UINT state = item->flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR | MF_MENUBREAK);
  if (item->popup) {
    int count = GetMenuItemCount(item->popup);
    state = (state & 0xFF) | (static_cast<UINT>(count < 0 ? 0 : count) << 8);
  }
  return state;
}

// Returns the item's previous state (MF_ENABLED, MF_GRAYED, MF_DISABLED), or
// -1 when there is no such item.
BOOL EnableMenuItem(HMENU handle, UINT item_number, UINT enable) {
  MenuItem* item = find_item(handle, item_number, enable);
  if (!item) return -1;
  UINT previous = item->flags & (MF_GRAYED | MF_DISABLED);
  item->flags = (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  tell_display_of_bar_holding(handle);
  return static_cast<BOOL>(previous);
}

void menu_reset() { menus().clear(); }
