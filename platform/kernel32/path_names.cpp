#include "platform/kernel32/path_names.h"

#include <sys/stat.h>

#include <cerrno>
#include <string_view>

#include "platform/kernel32/errno_mapping.h"
#include "platform/kernel32/text_conversion.h"
#include "platform/win32/kernel32.h"
#include "platform/win32/path_separators.h"

bool path_to_utf8(LPCWSTR name, std::string& path) {
  if (!name || !name[0]) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  if (!utf16_to_bytes(name, path)) {
    // Writing it as U+FFFD would open a different file of that name.
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  return true;
}

namespace {

bool parent_folder_exists(const std::string& path) {
  std::string_view name = path;
  while (name.size() > 1 && name.back() == '/') name.remove_suffix(1);
  std::size_t slash = name.rfind('/');
  if (slash == std::string_view::npos) return true;  // the current directory
  std::string parent(name.substr(0, slash == 0 ? 1 : slash));
  struct stat status {};
  return ::stat(parent.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

void set_last_error_for_path(const std::string& path) {
  int error_number = errno;
  if (error_number == ENOENT && !parent_folder_exists(path)) set_last_error_with_errno(ERROR_PATH_NOT_FOUND, ENOENT);
  else set_last_error_with_errno(win32_error_from_errno(error_number), error_number);
}

// Linux names have one separator; "\" may stand inside a file name.
BOOL kernel32_is_path_separator(WCHAR unit) { return unit == u'/' ? TRUE : FALSE; }
