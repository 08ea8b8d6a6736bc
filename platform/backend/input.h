// What a display backend reports to user32: input on top-level windows, and
// the pumping of user32's queue while a backend runs a modal loop of its own.
// Positions are client coordinates of the top-level window. Everything here
// runs on the GUI thread.
#pragma once

#include "platform/backend/backend.h"
#include "platform/win32/types.h"

// Mouse buttons as input_mouse_button takes them.
enum InputButton { INPUT_BUTTON_LEFT = 0, INPUT_BUTTON_RIGHT = 1, INPUT_BUTTON_MIDDLE = 2 };

// A key went down (repeats allowed) or up. Modifiers are keys of their own
// (VK_SHIFT, VK_CONTROL, VK_MENU): press them before the key they modify.
void input_key(HWND window, UINT virtual_key, BOOL down);
void input_mouse_move(HWND window, POINT client_point);
void input_mouse_button(HWND window, InputButton button, BOOL down, POINT client_point);
void input_mouse_wheel(HWND window, POINT client_point, int delta);
// The pointer left the window's client area.
void input_mouse_left(HWND window);
// The close box (or the window manager's close request). Like a menu choice it
// is queued behind the input reported before it.
void input_close_request(HWND window);
// A menu item with this id was chosen from the window's menu bar.
void input_menu_command(HWND window, UINT id);
// The user opened the window's menu bar with the mouse: user32 enters its
// menu loop (WM_SYSCOMMAND SC_MOUSEMENU), queued behind the input before it.
void input_menu_bar_opened(HWND window);
// While run_menu_bar runs: the popup at `position` of the bar opened
// (WM_INITMENUPOPUP), and the item at `position` of `menu` got the highlight
// (WM_MENUSELECT).
void input_menu_popup_opened(HWND window, HMENU popup, UINT position);
void input_menu_item_selected(HWND window, HMENU menu, UINT position);
// The user moved or resized the window; rectangles in screen coordinates.
void input_window_moved(HWND window, const RECT* frame);
// The window manager minimised, maximised or restored the window: user32
// changes its show state as ShowWindow does (WM_SIZE tells which).
enum InputWindowState { INPUT_WINDOW_MINIMIZED, INPUT_WINDOW_MAXIMIZED, INPUT_WINDOW_RESTORED };
void input_window_state(HWND window, InputWindowState state);
// The display shows the window again after keeping none of its pixels: all of
// it needs painting (WM_PAINT with the background erased).
void input_window_exposed(HWND window);
// The display made the window the foreground window, or took that away.
void input_window_activated(HWND window, BOOL active);

// Dispatch every message that is ready now (sent, posted, input, paint, due
// timers) to its window procedure. Backends call it inside their modal loops.
void input_dispatch_pending();
// When the next user32 timer falls due (BACKEND_NO_DEADLINE if none runs).
BackendTime input_next_timer_due();
// Moves on whenever a message is queued for the thread (posted, input, quit):
// a backend's wait for input ends once it moved, as GetMessage returns for
// whatever a callback run inside that wait posted.
ULONGLONG input_queue_serial();
