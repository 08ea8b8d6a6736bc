// The current directory, ready to have a file name appended.
#include "platform/win32/kernel32.h"
#include "runtime/file/file.h"

namespace {

constexpr char16_t SEPARATOR = u'/';

}  // namespace

std::u16string current_directory() {
  std::u16string path(MAX_PATH, u'\0');
  DWORD length = GetCurrentDirectoryW(MAX_PATH, path.data());
  // Linux paths may be longer than MAX_PATH: the call then says how much room it needs.
  if (length >= MAX_PATH) {
    path.assign(length, u'\0');
    const DWORD room = length;
    length = GetCurrentDirectoryW(room, path.data());
    if (length >= room) return {};
  }
  if (length == 0) return {};
  path.resize(length);
  if (path.back() != SEPARATOR) path += SEPARATOR;
  return path;
}
