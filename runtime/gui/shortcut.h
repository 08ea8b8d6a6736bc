// Keyboard shortcuts kept per window: a list of accelerator entries and the
// native table built from it, which event_wait applies to every message.
#pragma once

#include <cstdint>

#include "platform/win32/user32.h"
#include "runtime/core/registry.h"

struct WindowObject;

// Shortcut codes: the virtual key in the low 16 bits plus modifier bits.
inline constexpr std::uint32_t SHORTCUT_SHIFT = 0x10000;
inline constexpr std::uint32_t SHORTCUT_CONTROL = 0x20000;
inline constexpr std::uint32_t SHORTCUT_ALT = 0x40000;

// Adds the entry, or gives an existing entry for the same key combination the
// new event id; returns the window's rebuilt native table (0: no such window).
HACCEL shortcut_add(ObjectId window, std::uint32_t shortcut, std::uint32_t event_id);

// Gives a new window its Tab and Shift+Tab entries; false when out of memory.
bool shortcut_table_init(WindowObject* window);
void shortcut_table_free(WindowObject* window);
