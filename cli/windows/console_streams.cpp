#include "cli/windows/console_streams.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

namespace {

struct StandardStream {
  DWORD id;
  std::FILE* file;
  const wchar_t* device;
  const wchar_t* mode;
};

// A handle the parent handed over: a console, a pipe or a file.
bool handed_over(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  SetLastError(NO_ERROR);
  return GetFileType(handle) != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
}

}  // namespace

void console_streams_connect() {
  const StandardStream streams[] = {{STD_INPUT_HANDLE, stdin, L"CONIN$", L"r"},
                                    {STD_OUTPUT_HANDLE, stdout, L"CONOUT$", L"w"},
                                    {STD_ERROR_HANDLE, stderr, L"CONOUT$", L"w"}};
  bool attached = false;
  for (const StandardStream& stream : streams) {
    if (handed_over(GetStdHandle(stream.id))) continue;
    if (!attached && !(attached = AttachConsole(ATTACH_PARENT_PROCESS) != FALSE)) return;
    if (!_wfreopen(stream.device, stream.mode, stream.file)) continue;
    SetStdHandle(stream.id, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream.file))));
  }
}
