#include "runtime/gui/post_event.h"

#include "platform/win32/kernel32.h"
#include "runtime/core/heaps.h"
#include "runtime/gui/event_queue.h"

namespace {

constexpr const char* POST_EVENT_CLASS = "PostEventClass";
constexpr const char* POST_EVENT_MESSAGE = "ZQ_PostEventMessage";
constexpr std::intptr_t CLASS_BACKGROUND_BRUSH = COLOR_BTNFACE + 1;

HWND hidden_window = nullptr;
UINT registered_message = 0;

}  // namespace

void post_event_init() {
  WNDCLASSA window_class{};
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = post_event_proc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(CLASS_BACKGROUND_BRUSH);
  window_class.lpszClassName = POST_EVENT_CLASS;
  RegisterClassA(&window_class);
  hidden_window = CreateWindowExA(0, POST_EVENT_CLASS, nullptr, WS_CAPTION, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
  registered_message = RegisterWindowMessageA(POST_EVENT_MESSAGE);
  event_queue_init();
}

void post_event_shutdown() {
  if (hidden_window) DestroyWindow(hidden_window);
  hidden_window = nullptr;
  event_queue_shutdown();
}

HWND post_event_window() { return hidden_window; }
UINT post_event_message() { return registered_message; }

LRESULT post_event_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (registered_message && message == registered_message && lparam) {
    auto* posted = reinterpret_cast<PostedEvent*>(lparam);
    event_push(posted->code, posted->object, posted->window, posted->type, posted->data, nullptr);
    HeapFree(main_heap(), 0, posted);
  }
  return DefWindowProcA(window, message, wparam, lparam);
}
