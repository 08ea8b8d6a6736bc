// The headless display backend, seen from tests (the command line reaches it
// only through platform/offscreen.h):
// scripted input, queued answers for requesters, a record of what was shown,
// a virtual clock and readable window surfaces. No real display is involved.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/backend/backend.h"
#include "platform/backend/input.h"

// Forget all scripted answers, records, presented surfaces and pressed keys,
// and put the virtual clock back to its start. Windows are user32's business:
// destroy them first.
void headless_reset();

// --- Virtual clock ---------------------------------------------------------
BackendTime headless_now();
// Moves the clock forward; timers that fall due are served by the next
// GetMessageW/PeekMessageW. When user32 waits with nothing scripted, the clock
// jumps to the deadline it waits for, so a program waiting on timers runs on.
void headless_advance_clock(BackendTime milliseconds);
// Advances the clock in steps to each timer that falls due within
// `milliseconds`, dispatching the thread's messages after each step.
void headless_run_for(BackendTime milliseconds);

// --- Input -----------------------------------------------------------------
// Modifier bits for headless_key_press.
enum HeadlessModifier : UINT { HEADLESS_SHIFT = 1, HEADLESS_CONTROL = 2, HEADLESS_ALT = 4 };

void headless_key(HWND window, UINT virtual_key, BOOL down);
// Presses the modifiers, presses and releases the key, releases the modifiers.
void headless_key_press(HWND window, UINT virtual_key, UINT modifiers);
void headless_mouse_move(HWND window, POINT client_point);
void headless_mouse_button(HWND window, InputButton button, BOOL down, POINT client_point);
// Move there, press and release.
void headless_click(HWND window, InputButton button, POINT client_point);
void headless_wheel(HWND window, POINT client_point, int delta);
void headless_mouse_leave(HWND window);
void headless_close_box(HWND window);
// Chooses the item with this id from the window's menu bar. FALSE (and no
// command) if the bar has no enabled item of that id, as a user could not choose it.
BOOL headless_choose_menu(HWND window, UINT id);

// Input that is not delivered at once but when user32 next waits for input,
// one step per wait, in order (after the clock reached `at`).
void headless_script_key_press(BackendTime at, HWND window, UINT virtual_key, UINT modifiers);
void headless_script_close_box(BackendTime at, HWND window);

// Whether the display would report the key as down right now (GetAsyncKeyState).
BOOL headless_key_is_down(int virtual_key);

// --- Requesters --------------------------------------------------------------
// Answers for the next file dialogs, in order. A dialog stays "open" for
// `open_for_ms` of virtual time, during which due timers fire and the thread's
// messages are dispatched. Without a queued answer a file dialog is cancelled.
void headless_answer_file_dialog(const char16_t* path, DWORD filter_index, BackendTime open_for_ms = 0);
void headless_cancel_file_dialog(BackendTime open_for_ms = 0);
// Answer for the next message box (IDOK, IDYES, ...). Without one the box's
// first button is pressed.
void headless_answer_message_box(int result, BackendTime open_for_ms = 0);

// Answers for the next menu loops (F10, Alt alone, a click on the bar), in
// order: the item with this id is chosen, its popup opened and the item
// highlighted first; HEADLESS_MENU_ESCAPED closes it without a choice by
// Escape, which is still held as the menu closes and let go at the next wait
// for input. The menu stays open for `open_for_ms` of virtual time, timers
// dispatched meanwhile. Without an answer the menu closes at once.
inline constexpr int HEADLESS_MENU_ESCAPED = -1;
void headless_answer_menu(int id, BackendTime open_for_ms = 0);
// The menu loops the display ran, and how many of them the keyboard opened.
struct HeadlessMenuLoops {
  int run;
  int by_keyboard;
};
HeadlessMenuLoops headless_menu_loops();

enum HeadlessRequesterKind { HEADLESS_OPEN_FILE, HEADLESS_SAVE_FILE, HEADLESS_MESSAGE_BOX };

// What was shown, as the user saw it.
struct HeadlessRequesterRecord {
  HeadlessRequesterKind kind;
  HWND owner;
  BOOL owner_enabled;             // the owner's state while the requester was open
  std::u16string title;           // dialog title or message-box caption
  std::u16string text;            // message-box text
  std::vector<std::u16string> filter;  // file dialogs: description, pattern, description, ...
  DWORD filter_index;             // file dialogs: the filter selected on opening (1-based)
  std::u16string initial_directory;
  std::u16string initial_name;
  UINT type;                      // message-box flags; file dialogs: OFN_* flags
};
const std::vector<HeadlessRequesterRecord>& headless_requesters_shown();

// --- Windows as the display shows them ------------------------------------------
struct HeadlessWindowState {
  BOOL exists;
  BOOL visible;
  BOOL enabled;
  std::u16string title;
  RECT frame;
  RECT client;
  HMENU menu;
  BOOL accepts_drops;
};
HeadlessWindowState headless_window_state(HWND window);
// The foreground window as the display knows it (null if none).
HWND headless_foreground_window();

// Whether the display keeps a copy of every presented surface for the reads
// below (the default, again after headless_reset). A program that never looks
// at its screen, like the command-line renderer, turns it off: presents are
// then counted and sized but cost no copy, and pixels read as 0xFFFFFFFF.
void headless_keep_presented_pixels(BOOL keep);

// Whether the display keeps each window's pixels itself, as an X server
// keeps a pixmap, so that user32 draws on them through the display's calls a
// band at a time; off (user32's own memory) by default and after
// headless_reset. Applies to windows whose pixels are made from then on.
void headless_display_keeps_window_pixels(BOOL keep);
// The most pixels any one write to or read from the display's pixels moved.
size_t headless_largest_display_transfer();
// The pixels all writes to and reads from the display's pixels moved (fills move none).
size_t headless_display_pixels_moved();

// A pixel as last presented, as a COLORREF (0x00BBGGRR); 0xFFFFFFFF outside
// the surface, before anything was presented or while pixels are not kept.
COLORREF headless_surface_pixel(HWND window, int x, int y);
// The size of the last presented surface ({0, 0} before any present).
SIZE headless_surface_size(HWND window);
// How many times the window's surface was presented.
int headless_present_count(HWND window);
