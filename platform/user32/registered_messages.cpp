// RegisterWindowMessage: one number from 0xC000 up per name, the same number
// for the same name (compared without ASCII case).
#include <map>

#include "platform/call_watch.h"
#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

namespace {

std::map<std::u16string, UINT>& names() {
  static std::map<std::u16string, UINT> table;
  return table;
}

UINT register_name(const std::u16string& name) {
  if (name.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::u16string key = text_fold(name);
  auto found = names().find(key);
  if (found != names().end()) return found->second;
  UINT number = 0xC000 + static_cast<UINT>(names().size());
  if (number > 0xFFFF) return 0;
  names().emplace(key, number);
  return number;
}

}  // namespace

UINT RegisterWindowMessageW(LPCWSTR name) { return register_name(text_of(name)); }
UINT RegisterWindowMessageA(LPCSTR name) {
  call_noted(nullptr, "RegisterWindowMessageA", name);
  return register_name(text_from_utf8(name));
}
