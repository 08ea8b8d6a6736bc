// The post-event channel: a hidden window and a registered message through
// which another thread can hand an event to the GUI thread's queue.
#pragma once

#include <cstdint>

#include "platform/win32/user32.h"

// What a poster allocates (from the main heap) and sends as lParam of the
// registered message; the window procedure queues it and frees the record.
struct PostedEvent {
  std::int32_t reserved;
  std::int32_t code;
  std::intptr_t object;
  std::intptr_t window;
  std::int32_t type;
  void* data;
};

// Registers "PostEventClass", creates the hidden window, registers
// "ZQ_PostEventMessage" and creates the event queue.
void post_event_init();
// Destroys the hidden window and forgets the queue.
void post_event_shutdown();
HWND post_event_window();
UINT post_event_message();
LRESULT post_event_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
