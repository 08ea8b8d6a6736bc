// The application shell: its start-up after the runtime's, the main window
// with canvas 0 and the File menu, the event loop with its dispatch, the
// open, save and drop flows, and the save pipeline from the canvas to a file.
// The desktop program and the command-line renderer run the same code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/loader.h"
#include "app/picture.h"

inline constexpr const char16_t* APP_TITLE = u"IFS render by Tarnwick";
// Caption, system menu, minimize box, centred on the screen.
inline constexpr std::uint32_t APP_WINDOW_FLAGS = 0xCA0001;
inline constexpr std::int32_t APP_MENU = 0;
inline constexpr std::int32_t APP_IMAGE = 0;

// Menu items; the two shortcuts post the ids of the first two.
inline constexpr std::uint32_t MENU_OPEN = 0;
inline constexpr std::uint32_t MENU_SAVE = 1;
inline constexpr std::uint32_t MENU_QUIT = 2;
// Page Down and Page Up: the next and the previous table of a library. They
// are keys only, not menu items.
inline constexpr std::uint32_t KEY_NEXT_TABLE = 3;
inline constexpr std::uint32_t KEY_PREVIOUS_TABLE = 4;
inline constexpr std::uint32_t SHORTCUT_OPEN = 0x2004F;  // Ctrl+O
inline constexpr std::uint32_t SHORTCUT_SAVE = 0x20053;  // Ctrl+S

inline constexpr const char16_t* OPEN_TITLE = u"Please choose file to load";
inline constexpr const char16_t* OPEN_PATTERN = u"IFS data (*.ifs)|*.ifs";
inline constexpr const char16_t* SAVE_TITLE = u"Please choose file to save";
inline constexpr const char16_t* SAVE_PATTERN = u"Portable Network Graphics (*.png)|*.png|Bitmap (*.bmp)|*.bmp";

// Start-up after the runtime's: state, window, canvas, drop, menu and
// shortcuts, the seeded generator, the built-in IFS measured, the first
// program parameter loaded if there is one, the canvas cleared. False when
// the window cannot be opened (the program then ends at once).
bool shell_start();
// The same with the file to load given by the caller (none: nothing loaded).
bool shell_start_with(const std::optional<std::u16string>& initial_file);
// The same with a load as the command line asks for it.
bool shell_start_with_request(const std::optional<LoadRequest>& initial_load);

// The shell's load path: the loader, then, when the table was replaced, the
// window title naming the block it came from ("IFS render by Tarnwick -
// fern"), or the program's title alone for a seven-number file.
void shell_load(const LoadRequest& request);

// Handles one code returned by event_wait; false when the loop must end
// (Quit chosen, Escape held, window closed).
bool shell_dispatch(std::int32_t code);
// Waits for events and dispatches them until the loop ends.
void shell_event_loop();

// Loads the table `step` places on in the library the shown table came from,
// wrapping round at either end; nothing while no library is loaded.
void shell_page_flow(std::int64_t step);

void shell_open_flow();
void shell_drop_flow();
void shell_save_flow();
// The save pipeline: the canvas copied into a 600 × 600 image, saved under
// `file` in `format` (FORMAT_PNG or FORMAT_BMP), the image freed. 1 on
// success, 0 on failure with the system's reason in the last error.
int shell_save_picture(std::u16string_view file, std::uint32_t format);

// The whole desktop program on the current backend: runtime start-up, shell,
// loop, shut-down. The exit code: 0 on every normal end.
int shell_run();
// The same with the load given by the caller instead of the first program
// parameter.
int shell_run_with_request(const std::optional<LoadRequest>& initial_load);
