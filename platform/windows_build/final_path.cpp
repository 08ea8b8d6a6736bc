// Windows follows a symbolic link inside CreateFileW, so the name that writing
// a name writes is that name, made full: ReplaceFileW under Wine refuses
// relative names ("Directory name invalid."), and a full name also stays
// right should the current folder change before the save ends.
#include "platform/win32/final_path.h"

#include "platform/win32/kernel32.h"

extern "C" DWORD GetFullPathNameW(LPCWSTR name, DWORD length, LPWSTR buffer, LPWSTR* file_part);

BOOL kernel32_final_write_name(LPCWSTR name, std::u16string* final_name) {
  if (!name || !*name || !final_name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::u16string full(MAX_PATH, u'\0');
  for (;;) {
    const DWORD length = GetFullPathNameW(name, static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return FALSE;
    if (length < full.size()) {
      full.resize(length);
      break;
    }
    full.resize(length);  // too small: the size needed, terminator included
  }
  *final_name = std::move(full);
  return TRUE;
}
