// Menu bars built by a short sequence of calls: menu_create on a window, then
// menu_title for each title and menu_item / menu_bar for its entries.
// Choosing an item queues EVENT_MENU with the item's id.
#pragma once

#include <cstdint>

#include "platform/win32/user32.h"
#include "runtime/core/registry.h"

inline constexpr std::int32_t MENU_NESTING_LIMIT = 64;

struct MenuObject {
  HMENU handle;  // the bar
  HWND owner;    // the window it belongs to, or null
};

void menu_library_init();
ObjectRegistry* menu_registry();

// The native menu (explicit number), the dynamic id (AUTO_ID), or 0; the new
// menu becomes the one being built.
std::intptr_t menu_create(ObjectId number, HWND window_handle);
void menu_title(const char16_t* text);
void menu_open_submenu(const char16_t* text);
void menu_item(std::uint32_t id, const char16_t* text);
void menu_bar();
// The registry's free callback (-1: every menu).
void menu_free(ObjectId number);
// Whether Escape went down while a menu's modal loop ran since the last call
// (it closed the menu); the answer is given once.
bool menu_loop_took_escape();
