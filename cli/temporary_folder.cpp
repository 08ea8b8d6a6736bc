#include <string>

#include "cli/standard_streams.h"
#include "cli/system_names.h"
#include "platform/win32/kernel32.h"

std::string temporary_folder() {
  std::u16string folder(MAX_PATH + 1, u'\0');
  // The folder may have grown longer between the two calls; then there is none to use.
  DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
  if (length >= folder.size()) {
    folder.assign(length, u'\0');
    length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
  }
  if (length == 0 || length >= folder.size()) return {};
  folder.resize(length);
  return name_to_system(folder);
}
