#include "runtime/gui/menu.h"

#include "runtime/gui/escape_key.h"

namespace {

constexpr std::int32_t MENU_REGISTRY_GROWTH = 16;
constexpr const char* PROPERTY_MENU_CALLBACK = "zq_menu_callback";
constexpr UINT_PTR SEPARATOR_ID = static_cast<UINT_PTR>(-1);

struct MenuBuilder {
  MenuObject* current_menu;
  HMENU current_popup;
  HMENU parent_popups[MENU_NESTING_LIMIT];
  std::int32_t depth;
};

ObjectRegistry* registry = nullptr;
MenuBuilder builder{};

void attach_bar() {
  MenuObject* menu = builder.current_menu;
  if (menu && menu->handle && menu->owner) SetMenu(menu->owner, menu->handle);
}

// A menu's record goes when its window goes; the platform destroys the
// native menu with the window.
void release_menus_of(HWND window) {
  HMENU bar = GetMenu(window);
  if (!bar || !registry) return;
  registry_iterate_begin(registry);
  ObjectId id = 0;
  while (auto* menu = static_cast<MenuObject*>(registry_iterate_next(registry, &id))) {
    if (menu->handle != bar) continue;
    if (builder.current_menu == menu) builder.current_menu = nullptr;
    object_release(registry, id);
  }
}

// Escape pressed while the menu's modal loop ran (to close the menu): a press
// the event loop must not take for its own Escape.
bool escape_down_at_menu_entry = false;
bool escape_pressed_in_menu = false;

void watch_menu_loop(UINT message) {
  if (message == WM_ENTERMENULOOP) escape_down_at_menu_entry = escape_key_down();
  if (message == WM_EXITMENULOOP && !escape_down_at_menu_entry && escape_key_down()) escape_pressed_in_menu = true;
}

LRESULT menu_subclass_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, PROPERTY_MENU_CALLBACK));
  if (message == WM_NCDESTROY) release_menus_of(window);
  watch_menu_loop(message);
  return previous ? CallWindowProcA(previous, window, message, wparam, lparam)
                  : DefWindowProcA(window, message, wparam, lparam);
}

void subclass_once(HWND window) {
  if (!window || GetPropA(window, PROPERTY_MENU_CALLBACK)) return;
  const LONG_PTR previous = SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(menu_subclass_proc));
  SetPropA(window, PROPERTY_MENU_CALLBACK, reinterpret_cast<HANDLE>(previous));
}

}  // namespace

void menu_library_init() {
  registry = registry_create(sizeof(MenuObject), MENU_REGISTRY_GROWTH, menu_free);
  builder = MenuBuilder{};
}

ObjectRegistry* menu_registry() { return registry; }

std::intptr_t menu_create(ObjectId number, HWND window_handle) {
  auto* record = registry ? static_cast<MenuObject*>(object_allocate(registry, number)) : nullptr;
  if (!record) return 0;
  const ObjectId id = number == AUTO_ID ? dynamic_id_of(record) : number;
  HMENU bar = CreateMenu();
  if (!bar) {
    // A dynamic record would otherwise stay allocated for nothing.
    if (number == AUTO_ID) object_release(registry, id);
    return 0;
  }
  record->handle = bar;
  record->owner = window_handle;
  builder.current_menu = record;
  builder.current_popup = bar;
  subclass_once(window_handle);
  return number == AUTO_ID ? id : reinterpret_cast<std::intptr_t>(bar);
}

void menu_title(const char16_t* text) {
  if (!builder.current_menu) return;
  if (builder.depth != 0) {
    builder.depth = 0;
    builder.current_popup = builder.current_menu->handle;
  }
  menu_open_submenu(text);
  attach_bar();
}

void menu_open_submenu(const char16_t* text) {
  if (!builder.current_menu || builder.depth >= MENU_NESTING_LIMIT) return;
  HMENU popup = CreateMenu();
  if (!popup) return;
  AppendMenuW(builder.current_popup, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text ? text : u"");
  builder.parent_popups[builder.depth++] = builder.current_popup;
  builder.current_popup = popup;
}

void menu_item(std::uint32_t id, const char16_t* text) {
  if (!builder.current_menu) return;
  AppendMenuW(builder.current_popup, MF_STRING, id, text ? text : u"");
  attach_bar();
}

void menu_bar() {
  if (!builder.current_menu) return;
  AppendMenuW(builder.current_popup, MF_SEPARATOR, SEPARATOR_ID, nullptr);
}

void menu_free(ObjectId number) {
  if (number == AUTO_ID) {
    if (registry) registry_free_all(registry);
    return;
  }
  auto* record = registry ? static_cast<MenuObject*>(object_lookup(registry, number)) : nullptr;
  if (!record) return;
  if (record->owner) SetMenu(record->owner, nullptr);
  DestroyMenu(record->handle);
  if (builder.current_menu == record) builder.current_menu = nullptr;
  object_release(registry, number);
}

bool menu_loop_took_escape() {
  const bool took = escape_pressed_in_menu;
  escape_pressed_in_menu = false;
  return took;
}
