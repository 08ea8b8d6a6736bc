// user32's own SetTimer, KillTimer and MessageBoxW, under other names: the
// program's declarations of those names have C++ linkage on Windows (see
// platform/win32/user32.h), so the system's are reached by their symbols.
// And the desktop calls, which only rendering without a display needs.
#pragma once

#include "platform/win32/user32.h"

extern "C" UINT_PTR system_set_timer(HWND window, UINT_PTR id, UINT elapse_ms, TIMERPROC callback) __asm__("SetTimer");
extern "C" BOOL system_kill_timer(HWND window, UINT_PTR id) __asm__("KillTimer");
extern "C" int system_message_box(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) __asm__("MessageBoxW");

extern "C" HANDLE CreateDesktopW(LPCWSTR name, LPCWSTR device, void* mode, DWORD flags, DWORD access,
                                 LPSECURITY_ATTRIBUTES security);
extern "C" BOOL SetThreadDesktop(HANDLE desktop);
