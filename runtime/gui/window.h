// Top-level windows opened by number. Each gets a window class of its own,
// carries its number in the "ZQ_WindowID" property and turns what the user
// does to it into queued events (window_proc.h).
#pragma once

#include <cstdint>

#include "platform/win32/user32.h"
#include "runtime/core/registry.h"

// Commands of the two entries every window starts with: Tab and Shift+Tab
// move the keyboard focus among the tab-stop controls and give no event.
inline constexpr WORD COMMAND_FOCUS_NEXT = 64001;
inline constexpr WORD COMMAND_FOCUS_PREVIOUS = 64002;
// The native command of shortcuts for event id 0 (shortcut.h says why).
inline constexpr WORD COMMAND_STANDS_FOR_ZERO = 64000;

// window_open flag bits that are not window styles.
inline constexpr std::uint32_t WINDOW_CENTRE_SCREEN = 0x1;
inline constexpr std::uint32_t WINDOW_CENTRE_PARENT = 0x2;
inline constexpr std::uint32_t WINDOW_TOOL = 0x4;
inline constexpr std::uint32_t WINDOW_NO_CONTAINER = 0x8;
inline constexpr std::uint32_t WINDOW_NO_ACTIVATE = 0x2000000;
inline constexpr std::uint32_t WINDOW_INVISIBLE = 0x10000000;

inline constexpr const char16_t* PROPERTY_WINDOW_ID = u"ZQ_WindowID";
inline constexpr const char16_t* PROPERTY_GADGET_ID = u"ZQ_ID";
inline constexpr const char16_t* PROPERTY_FOCUS = u"ZQ_Focus";
inline constexpr const char16_t* PROPERTY_DROP_ACCEPT = u"ZQ_DropAccept";
inline constexpr const char16_t* PROPERTY_HOTKEY = u"ZQ_Hotkey";

struct WindowObject {
  HWND handle;
  ACCEL* shortcut_entries;  // main-heap array, grown by shortcut_add
  HACCEL shortcut_table;    // rebuilt whenever the entries change
  std::int32_t shortcut_count;
  std::int32_t min_max_state;  // 1 while minimized or maximized
};

void window_library_init();
void window_library_shutdown();
ObjectRegistry* window_registry();

// The native handle (explicit number), the dynamic id (AUTO_ID), or 0.
std::intptr_t window_open(ObjectId number, std::int32_t x, std::int32_t y, std::int32_t inner_width,
                          std::int32_t inner_height, const char16_t* title, std::uint32_t flags, HWND parent);
// Closes one window, or all of them for -1; none of its events stay queued.
void window_close(ObjectId number);
HWND window_handle(ObjectId number);
// Sets the title shown in the window's caption; false for a number without
// an open window.
bool window_title_set(ObjectId number, const char16_t* title);
WindowObject* window_lookup(ObjectId number);
// The number kept in "ZQ_WindowID", or -1 when the window carries none.
ObjectId window_number_from_handle(HWND handle);
// The handle itself or its nearest ancestor carrying "ZQ_WindowID"; the
// topmost ancestor when none does.
HWND window_root_handle(HWND handle);
// Moves a window to the centre of the screen (flag 1) or of its parent or
// the active window (flag 2).
void window_centre(HWND handle, std::uint32_t flags, HWND parent);

// Nonzero on success; a second call with the same id restarts that timer.
std::intptr_t timer_add(ObjectId window, UINT_PTR timer_id, UINT interval_ms);
