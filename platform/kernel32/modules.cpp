// Modules. Linux has no DLLs by the names the runtime asks for
// ("msimg32.dll", "Kernel32.dll"): look-ups find nothing and the callers'
// fallbacks run. The program itself is the one module there is.
#include "platform/call_watch.h"
#include "platform/win32/kernel32.h"

namespace {

// Any stable, non-null address serves as the program's module handle.
char program_module_marker;

HMODULE program_module() { return reinterpret_cast<HMODULE>(&program_module_marker); }

HMODULE not_found() {
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR name) {
  call_noted(nullptr, "LoadLibraryW", name);
  return not_found();
}

HMODULE LoadLibraryA(LPCSTR) { return not_found(); }

FARPROC GetProcAddress(HMODULE, LPCSTR name) {
  call_noted(nullptr, "GetProcAddress", name);
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
  call_noted(module, "FreeLibrary");
  if (module == program_module()) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

HMODULE GetModuleHandleW(LPCWSTR name) {
  if (name) {
    call_noted(nullptr, "GetModuleHandleW", name);
    return not_found();
  }
  call_noted(program_module(), "GetModuleHandleW");
  return program_module();
}
