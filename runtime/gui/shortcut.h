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

// The command a shortcut's event id travels as in the native table, and back.
// Win32 looks an accelerator's command up in the window's system menu first,
// where separators carry command 0, and drops the key as a disabled item: so
// event id 0 (the program's Open) travels as COMMAND_STANDS_FOR_ZERO and that
// id as 0, which keeps every id distinct.
WORD shortcut_native_command(std::uint32_t event_id);
std::uint32_t shortcut_event_id(WORD native_command);

// Gives a new window its Tab and Shift+Tab entries; false when out of memory.
bool shortcut_table_init(WindowObject* window);
void shortcut_table_free(WindowObject* window);
