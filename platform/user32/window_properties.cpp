// Window properties: named handles on a window. Names compare like atoms
// (without ASCII case); an integer atom names a property by number.
#include <algorithm>
#include <string>

#include "platform/user32/user32_internal.h"

namespace {

std::u16string property_key(LPCWSTR name) {
  if (IS_INTRESOURCE(name)) {
    std::string number = "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
    return std::u16string(number.begin(), number.end());
  }
  return text_fold(name);
}

std::u16string property_key_a(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return property_key(reinterpret_cast<LPCWSTR>(name));
  return text_fold(text_from_utf8(name));
}

WindowProperty* find(Window* window, const std::u16string& key) {
  auto found = std::find_if(window->properties.begin(), window->properties.end(),
                            [&](const WindowProperty& property) { return property.name == key; });
  return found == window->properties.end() ? nullptr : &*found;
}

BOOL set(HWND handle, const std::u16string& key, HANDLE value) {
  Window* window = window_from(handle);
  if (!window || key.empty()) return FALSE;
  if (WindowProperty* existing = find(window, key)) existing->value = value;
  else window->properties.push_back(WindowProperty{key, value});
  return TRUE;
}

HANDLE get(HWND handle, const std::u16string& key) {
  Window* window = window_from(handle);
  if (!window) return nullptr;
  WindowProperty* property = find(window, key);
  return property ? property->value : nullptr;
}

HANDLE remove(HWND handle, const std::u16string& key) {
  Window* window = window_from(handle);
  if (!window) return nullptr;
  auto& list = window->properties;
  auto found = std::find_if(list.begin(), list.end(), [&](const WindowProperty& property) { return property.name == key; });
  if (found == list.end()) return nullptr;
  HANDLE value = found->value;
  list.erase(found);
  return value;
}

}  // namespace

BOOL SetPropW(HWND window, LPCWSTR name, HANDLE value) { return name ? set(window, property_key(name), value) : FALSE; }
BOOL SetPropA(HWND window, LPCSTR name, HANDLE value) { return name ? set(window, property_key_a(name), value) : FALSE; }
HANDLE GetPropW(HWND window, LPCWSTR name) { return name ? get(window, property_key(name)) : nullptr; }
HANDLE GetPropA(HWND window, LPCSTR name) { return name ? get(window, property_key_a(name)) : nullptr; }
HANDLE RemovePropW(HWND window, LPCWSTR name) { return name ? remove(window, property_key(name)) : nullptr; }
HANDLE RemovePropA(HWND window, LPCSTR name) { return name ? remove(window, property_key_a(name)) : nullptr; }
