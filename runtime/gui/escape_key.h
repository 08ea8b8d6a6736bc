// The Escape key as the keyboard has it now (bit 15 of its asynchronous
// state): held, it ends the event loop, unless a menu or a requester it
// closed keeps it as its own.
#pragma once

#include "platform/win32/user32.h"

inline bool escape_key_down() { return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0; }
