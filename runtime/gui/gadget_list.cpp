#include "runtime/gui/gadget_list.h"

#include <string>

#include "platform/win32/kernel32.h"
#include "runtime/core/heaps.h"
#include "runtime/gui/window_class_name.h"

namespace {

constexpr std::int32_t STACK_INITIAL_CAPACITY = 10;

struct ContainerState {
  HWND base;
  HWND* stack;  // nested containers above the base
  std::int32_t depth;
  std::int32_t capacity;
};

// Kept on each window that has been the container.
struct SavedContainer {
  HWND window;
  HWND saved_base;
  HWND* saved_stack;
  std::int32_t saved_depth;
  std::int32_t saved_capacity;
  WNDPROC previous_proc;
};

ContainerState state{};

std::u16string saved_property_name() {
  return u"ZQ_GadgetStack_" + decimal_text(reinterpret_cast<std::intptr_t>(GetModuleHandleW(nullptr)));
}

HWND current_container() { return state.depth > 0 ? state.stack[state.depth - 1] : state.base; }

SavedContainer* saved_of(HWND window) {
  return static_cast<SavedContainer*>(GetPropW(window, saved_property_name().c_str()));
}

HWND* new_stack() {
  return static_cast<HWND*>(HeapAlloc(main_heap(), HEAP_ZERO_MEMORY, sizeof(HWND) * STACK_INITIAL_CAPACITY));
}

void save_into(SavedContainer* saved) {
  saved->saved_base = state.base;
  saved->saved_stack = state.stack;
  saved->saved_depth = state.depth;
  saved->saved_capacity = state.capacity;
  state.stack = nullptr;
}

void restore_from(SavedContainer* saved) {
  if (state.stack) HeapFree(main_heap(), 0, state.stack);
  state = ContainerState{saved->saved_base, saved->saved_stack, saved->saved_depth, saved->saved_capacity};
  saved->saved_stack = nullptr;
}

LRESULT container_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  SavedContainer* saved = saved_of(window);
  if (!saved) return DefWindowProcW(window, message, wparam, lparam);
  const WNDPROC previous = saved->previous_proc;
  if (message == WM_NCDESTROY) {
    if (current_container() == window) {
      state.base = nullptr;
      state.depth = 0;
    }
    if (saved->saved_stack) HeapFree(main_heap(), 0, saved->saved_stack);
    HeapFree(main_heap(), 0, saved);
    RemovePropW(window, saved_property_name().c_str());
  }
  return CallWindowProcW(previous, window, message, wparam, lparam);
}

void start_new_container(HWND handle) {
  if (state.stack) state.depth = 0;
  else {
    state.stack = new_stack();
    state.depth = 0;
    state.capacity = state.stack ? STACK_INITIAL_CAPACITY : 0;
  }
  state.base = handle;
  auto* saved = static_cast<SavedContainer*>(HeapAlloc(main_heap(), HEAP_ZERO_MEMORY, sizeof(SavedContainer)));
  if (!saved) return;
  saved->window = handle;
  SetPropW(handle, saved_property_name().c_str(), saved);
  saved->previous_proc = reinterpret_cast<WNDPROC>(
      SetWindowLongW(handle, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(container_window_proc)));
}

}  // namespace

void gadget_list_init() {
  state = ContainerState{nullptr, new_stack(), 0, STACK_INITIAL_CAPACITY};
  if (!state.stack) state.capacity = 0;
}

HWND gadget_list_use(HWND handle) {
  const HWND previous = current_container();
  if (!handle) return previous;
  if (previous) {
    if (SavedContainer* saved = saved_of(previous)) save_into(saved);
  }
  if (SavedContainer* saved = saved_of(handle)) restore_from(saved);
  else start_new_container(handle);
  return previous;
}
