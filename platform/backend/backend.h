// The display seam: the few things only a display can do, as one table of
// driver functions (one table per backend, selected at start-up). user32,
// gdi32, comdlg32 and ole32 call it; a backend calls back only through the
// input functions of platform/backend/input.h (and drag_input.h).
#pragma once

#include "platform/gdi32/surface_dc.h"
#include "platform/win32/types.h"

// Milliseconds on the backend's clock (monotonic; virtual in the headless backend).
using BackendTime = ULONGLONG;
inline constexpr BackendTime BACKEND_NO_DEADLINE = ~BackendTime{0};

// What a backend needs to put a top-level window on screen.
struct BackendWindowInfo {
  LPCWSTR title;    // never null
  RECT frame;       // outer rectangle, screen coordinates
  RECT client;      // client rectangle, screen coordinates
  DWORD style;      // WS_* of the window
  DWORD ex_style;   // WS_EX_* of the window
  HWND owner;       // owner window or null
};

// A file dialog to run modally. The backend writes the chosen path into
// `file_buffer` (zero-terminated, at most `file_capacity` units with the zero)
// and the 1-based filter chosen into `filter_index`.
struct BackendFileDialog {
  HWND owner;              // may be null
  BOOL save;               // TRUE for a save dialog
  LPCWSTR title;           // may be null: the backend's default title
  LPCWSTR filter;          // description/pattern pairs, each zero-terminated, ending in an empty text; may be null
  DWORD filter_index;      // in: initially selected filter (1-based); out: the chosen one
  LPWSTR file_buffer;      // in: initial name; out: chosen path
  DWORD file_capacity;     // units in file_buffer
  LPCWSTR initial_directory;  // may be null
  DWORD flags;             // OFN_* flags of the request
};

// Answers of a file dialog.
enum BackendDialogResult { BACKEND_DIALOG_CANCELLED = 0, BACKEND_DIALOG_CHOSEN = 1, BACKEND_DIALOG_FAILED = 2 };

struct DisplayBackend {
  const char* name;

  // Clock and waiting. wait_for_input returns once input was delivered
  // (through input.h) or the deadline (on now()'s clock) has passed.
  BackendTime (*now)();
  void (*wait_for_input)(BackendTime deadline);

  // Top-level windows. Child windows never reach the backend.
  void (*window_created)(HWND window, const BackendWindowInfo* info);
  void (*window_shown)(HWND window, BOOL visible);
  void (*window_moved)(HWND window, const RECT* frame, const RECT* client);  // screen coordinates
  void (*window_retitled)(HWND window, LPCWSTR title);
  void (*window_enabled)(HWND window, BOOL enabled);
  void (*window_activated)(HWND window);  // becomes the foreground window
  void (*window_destroyed)(HWND window);
  // The menu bar changed (null: none); the backend reads it with GetMenuItemCount & co.
  void (*menu_bar_changed)(HWND window, HMENU menu);
  // A top-level window's client pixels, black, kept by the display: either
  // memory it shows without copying it (rows of `size.cx` 32-bit pixels), or
  // pixels on its own side that user32 reaches through `pixels->device`
  // (and no bits). Returns what `client_pixels_release` is given back, or
  // null: user32 allocates them itself. May be null.
  void* (*client_pixels_make)(HWND window, SIZE size, PixelSurface* pixels);
  void (*client_pixels_release)(void* pixels);
  // Pixels of `surface` inside `dirty` (surface coordinates) changed: show them.
  void (*surface_presented)(HWND window, const PixelSurface* surface, const RECT* dirty);
  // Whether a screen keeps what is presented. FALSE: nobody looks, and windows
  // need not draw on their surfaces at all. Null counts as TRUE.
  BOOL (*screen_keeps_pixels)();

  // Modal requesters. Both keep user32's queue dispatching while open
  // (input_dispatch_pending), so timers tick behind them.
  BackendDialogResult (*run_file_dialog)(BackendFileDialog* request);
  int (*run_message_box)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);  // IDOK, IDCANCEL, ...

  // The window's menu bar, run modally until it closes (user32's menu loop),
  // opened now by the keyboard (its first title chosen) or already open by
  // the mouse. Popups opened and items highlighted are reported through
  // input.h; user32's queue keeps dispatching meanwhile. Returns the id of the
  // item chosen, or -1 when the menu closed without a choice.
  int (*run_menu_bar)(HWND window, BOOL by_keyboard);

  // File drops: whether `window` (top-level) takes drops now.
  void (*accept_drops)(HWND window, BOOL accept);

  // Display facts.
  SIZE (*screen_size)();
  int (*menu_bar_height)();             // measured height of a one-line menu bar
  // The frame the display itself draws around a top-level window of this style
  // (a window manager's borders and title bar; none without one), as the
  // thickness of each side. FALSE: the display draws none of its own, and the
  // window's frame is user32's (Windows' metrics).
  BOOL (*frame_extents)(DWORD style, DWORD ex_style, RECT* extents);
  BOOL (*key_is_down)(int virtual_key);  // the keyboard right now
};

// The backend in use; the headless backend unless another was selected.
const DisplayBackend* backend_current();
// Selects a backend (null: back to the headless one). Called by the program
// entry before any window exists.
void backend_select(const DisplayBackend* backend);
// The built-in headless backend.
const DisplayBackend* backend_headless();
