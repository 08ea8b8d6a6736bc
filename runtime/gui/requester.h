// Modal requesters: the open-file and save-file dialogs and the message box.
// While one is open the program's other windows are disabled.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32/user32.h"

// COM for the dialogs (after OLE's own initialisation).
void requester_library_init();

// The chosen full path, or empty text on cancel. pattern_position is the
// 0-based pattern selected on opening.
std::u16string requester_open_file(const char16_t* title, const char16_t* default_file, const char16_t* pattern,
                                   std::int32_t pattern_position);
std::u16string requester_save_file(const char16_t* title, const char16_t* default_file, const char16_t* pattern,
                                   std::int32_t pattern_position);
// 0-based pattern chosen in the last file requester; -1 after a cancel and
// before any file requester.
std::int32_t requester_selected_pattern();
// The button result of the message box.
int requester_message(const char16_t* caption, const char16_t* text, UINT flags);
// Whether Escape went down while a requester was open since the last call
// (the press that closed it, still held).
bool requester_took_escape();

// The foreground window if it belongs to this process, else null.
HWND requester_owner();
// Disables this thread's visible windows (all but the foreground one, which
// the dialog disables itself) and lowers topmost ones; end restores them.
void requester_modal_begin();
void requester_modal_end();
