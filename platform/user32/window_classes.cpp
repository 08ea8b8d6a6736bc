// Window classes: registered by name (compared without ASCII case), each with
// an atom; a class cannot be unregistered while windows of it exist.
#include <algorithm>
#include <list>

#include "platform/call_watch.h"
#include "platform/win32/kernel32.h"
#include "platform/user32/window_store.h"

namespace {

constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
constexpr DWORD ERROR_CLASS_HAS_WINDOWS = 1412;

std::list<WindowClass>& classes() {
  static std::list<WindowClass> registered;
  return registered;
}

ATOM next_atom = 0xC000;

// As Win32 does, the atom of an unregistered class is given out again once
// the fresh ones run out: a process that starts and ends the runtime many
// times (tests, fuzzing) would otherwise run out of window classes.
ATOM free_atom() {
  if (next_atom != 0xFFFF) return next_atom++;
  for (ATOM atom = 0xC000; atom != 0xFFFF; ++atom)
    if (!class_find_atom(atom)) return atom;
  return 0;
}

ATOM register_class(WindowClass definition) {
  if (!definition.procedure || definition.name.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (class_find(definition.name)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  const ATOM atom = free_atom();
  if (atom == 0) {  // the atom table is full
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  definition.atom = atom;
  definition.window_count = 0;
  classes().push_back(std::move(definition));
  return classes().back().atom;
}

WindowClass* class_from_name(LPCWSTR name) {
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name)) return class_find_atom(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name)));
  return class_find(name);
}

BOOL unregister(WindowClass* window_class) {
  if (!window_class) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (window_class->window_count > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  classes().remove_if([&](const WindowClass& entry) { return &entry == window_class; });
  return TRUE;
}

}  // namespace

WindowClass* class_find(const std::u16string& name) {
  std::u16string key = text_fold(name);
  for (WindowClass& entry : classes())
    if (text_fold(entry.name) == key) return &entry;
  return nullptr;
}

WindowClass* class_find_atom(ATOM atom) {
  for (WindowClass& entry : classes())
    if (entry.atom == atom) return &entry;
  return nullptr;
}

ATOM RegisterClassW(const WNDCLASSW* c) {
  if (!c || !c->lpszClassName) return 0;
  return register_class(WindowClass{text_of(c->lpszClassName), 0, c->style, c->lpfnWndProc, c->hInstance, c->hIcon,
                                    c->hCursor, c->hbrBackground, c->cbWndExtra, 0});
}

ATOM RegisterClassA(const WNDCLASSA* c) {
  if (!c || !c->lpszClassName) return 0;
  call_noted(nullptr, "RegisterClassA", c->lpszClassName);
  return register_class(WindowClass{text_from_utf8(c->lpszClassName), 0, c->style, c->lpfnWndProc, c->hInstance,
                                    c->hIcon, c->hCursor, c->hbrBackground, c->cbWndExtra, 0});
}

ATOM RegisterClassExW(const WNDCLASSEXW* c) {
  if (!c || c->cbSize != sizeof(WNDCLASSEXW) || !c->lpszClassName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return register_class(WindowClass{text_of(c->lpszClassName), 0, c->style, c->lpfnWndProc, c->hInstance, c->hIcon,
                                    c->hCursor, c->hbrBackground, c->cbWndExtra, 0});
}

BOOL UnregisterClassW(LPCWSTR class_name, HINSTANCE) {
  call_noted(nullptr, "UnregisterClassW", class_name);
  return unregister(class_from_name(class_name));
}

BOOL UnregisterClassA(LPCSTR class_name, HINSTANCE) {
  if (!class_name) return unregister(nullptr);
  if (IS_INTRESOURCE(class_name))
    return unregister(class_find_atom(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(class_name))));
  return unregister(class_find(text_from_utf8(class_name)));
}

WindowClass* class_lookup(LPCWSTR name) { return class_from_name(name); }

int GetClassNameW(HWND handle, LPWSTR buffer, int buffer_length) {
  Window* window = window_from(handle);
  if (!window || !buffer || buffer_length <= 0) return 0;
  const std::u16string& name = window->window_class->name;
  int count = static_cast<int>(std::min<size_t>(name.size(), static_cast<size_t>(buffer_length - 1)));
  name.copy(buffer, count);
  buffer[count] = 0;
  return count;
}

void class_reset() {
  classes().clear();
  next_atom = 0xC000;
}
