// Lets a test follow the order of the calls a sequence makes (the runtime's start-up and shut-down)
// without changing them. Unwatched, a noted call costs one test of a pointer.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

// A watched call: its name and details ("HeapCreate 0 4096 0") and the handle it is about, if any.
using CallWatcher = void (*)(const std::string& call, const void* handle);

// Null stops the watching.
void call_watcher_set(CallWatcher watcher);
bool call_watched();
void call_watch_report(const std::string& call, const void* handle);

inline void call_watch_append(std::string& call, const char* text) { call += text ? text : "(null)"; }

// Names are ASCII where they are noted; other characters show as '?'.
inline void call_watch_append(std::string& call, const char16_t* text) {
  if (!text) {
    call += "(null)";
    return;
  }
  // A resource number passed where a name may stand.
  if ((reinterpret_cast<std::uintptr_t>(text) >> 16) == 0) {
    call += std::to_string(reinterpret_cast<std::uintptr_t>(text));
    return;
  }
  for (; *text; ++text) call += *text < 0x80 ? static_cast<char>(*text) : '?';
}

template <typename Number, typename = std::enable_if_t<std::is_integral_v<Number>>>
void call_watch_append(std::string& call, Number number) {
  call += std::to_string(number);
}

// Tells the watcher, if there is one, about a call named `function` with the given details.
template <typename... Details>
void call_noted(const void* handle, const char* function, const Details&... details) {
  if (!call_watched()) return;
  std::string call = function;
  ((call += ' ', call_watch_append(call, details)), ...);
  call_watch_report(call, handle);
}
