// How user32's parts call each other: the message queue, timers, painting,
// activation and the keyboard state. Internal to user32; the other libraries
// include user32_shared.h.
#pragma once

#include "platform/backend/backend.h"
#include "platform/user32/user32_shared.h"
#include "platform/user32/window_store.h"

constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;
constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_INVALID_ACCEL_HANDLE = 1403;

// --- Message queue ------------------------------------------------------------
void queue_post(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// Keyboard and mouse messages, in the order the display reported them.
void queue_post_input(const MSG& message);
// Drops every queued message for the window (it is being destroyed).
void queue_forget_window(HWND window);
// Whether a message passes GetMessage's window and range filters.
bool queue_filter_matches(HWND message_window, UINT message, HWND filter, UINT first, UINT last);
DWORD queue_time_now();
// Ready without waiting: posted, input, paint or a due timer.
bool queue_has_ready_message();
void queue_reset();

// Called as an input message leaves the queue: tracks the key state, sends
// WM_MOUSEACTIVATE and WM_SETCURSOR; false when the message is to be dropped.
bool input_on_retrieval(const MSG& message);

// --- Timers ---------------------------------------------------------------------
// The due timer message that passes the filters (earliest due first); with
// `remove` the timer starts its next interval.
bool timer_take_due(HWND filter, UINT first, UINT last, bool remove, MSG* message);
BackendTime timer_next_due();
void timer_kill_window(HWND window);
bool timer_is_callback(HWND window, UINT_PTR id, TIMERPROC callback);
void timer_reset();

// --- Painting -------------------------------------------------------------------
// A window that needs painting, as a WM_PAINT message (parents before children).
bool paint_find_pending(HWND filter, MSG* message);
// Adds `rect` (client coordinates; null: the whole client area) to the update
// region of the window and, unless it clips its children, of its children.
void paint_invalidate(Window* window, const RECT* rect, bool erase, bool children);
void paint_validate(Window* window, const RECT* rect, bool children);
// The top-level window's surface follows its client size, keeping what fits.
// It is made on first use, at the client size of that moment, so a window
// sized after its creation never fills a surface of its first size.
void paint_surface_fit(Window* top);
// Sends WM_ERASEBKGND now if the window's update region asks for erasing.
void paint_erase_now(Window* window);
// The device-context clip of a window: its client area within every ancestor's,
// in surface coordinates.
RECT paint_client_clip(const Window* window);
HDC paint_window_dc(Window* window, const RECT* client_area);
bool paint_release_window_dc(HDC dc, HWND* window, RECT* surface_clip);
void paint_present_surface_rect(Window* root, const RECT& surface_rect);

// --- Activation and focus --------------------------------------------------------
// Makes `window` (top-level or null) the active window, with the messages Win32
// sends; `take_focus` moves the focus into it as SetActiveWindow does.
HWND activation_set(HWND window, bool take_focus);
// Before a window goes away: focus, capture and activation leave it.
void activation_window_leaving(Window* window);
// Another top-level window to activate when `leaving` stops being active.
HWND activation_successor(HWND leaving);
void activation_reset();

// --- Keyboard and mouse state ---------------------------------------------------
// GetKeyState follows the input messages as they are retrieved.
void keyboard_track_message(const MSG& message);
// The physical state as the display reported it (for MK_ flags).
void keyboard_set_physical(UINT virtual_key, bool down);
bool keyboard_physical_down(UINT virtual_key);
WPARAM mouse_key_flags();
void keyboard_reset();
void cursor_set_position(POINT screen_point);
POINT cursor_position();
void pointer_reset();

// --- Windows ----------------------------------------------------------------------
// Sends WM_SIZE and WM_MOVE as DefWindowProc does for WM_WINDOWPOSCHANGED.
void window_send_size_and_move(Window* window);
// DefWindowProc's WM_WINDOWPOSCHANGED: WM_MOVE and WM_SIZE as the flags say.
void window_position_changed_default(HWND window, const WINDOWPOS* position);
// A window is resized: its client rectangle follows its style and menu.
void window_update_client(Window* window);
void window_destroy_menu_of(Window* window);
// The display learns of a top-level window's new state.
void window_tell_display_moved(Window* window);

// --- Menus --------------------------------------------------------------------------
void menu_destroy_handle(HMENU menu);
// The menu bar's modal loop of `window`'s top-level window, if it has a bar.
void menu_loop_run(HWND window, bool by_keyboard);
// DefWindowProc's menu keys: F10, or Alt pressed and released with no key
// between, enter the menu loop on release.
void menu_keys_track(HWND window, UINT message, WPARAM key, LPARAM lparam);
void menu_keys_reset();

void cursor_reset();
void accelerator_reset();
void menu_reset();
void class_reset();

// --- Reset between tests ----------------------------------------------------------------
// Destroys every window and forgets queues, timers, classes, menus and state.
void user32_reset();
