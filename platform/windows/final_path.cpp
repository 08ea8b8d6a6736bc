// Windows follows a symbolic link inside CreateFileW, so the name that writing
// a name writes is that name.
#include "platform/win32/final_path.h"

#include "platform/win32/kernel32.h"

BOOL kernel32_final_write_name(LPCWSTR name, std::u16string* final_name) {
  if (!name || !*name || !final_name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *final_name = name;
  return TRUE;
}
