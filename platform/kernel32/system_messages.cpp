// FormatMessageW for system error codes. A failure that came from a system
// call is described in the system's own words (strerror), since that is the
// reason Linux gave; so is a refusal Linux has a word of its own for (an
// operation the file cannot take); other codes get Win32's texts.
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/kernel32/errno_mapping.h"
#include "platform/kernel32/text_conversion.h"
#include "platform/win32/kernel32.h"

namespace {

constexpr DWORD SUPPORTED_FLAGS = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;

const char* win32_text(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS: return "The operation completed successfully.";
    case ERROR_FILE_NOT_FOUND: return "The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND: return "The system cannot find the path specified.";
    case ERROR_ACCESS_DENIED: return "Access is denied.";
    case ERROR_NOT_ENOUGH_MEMORY: return "Not enough memory resources are available to process this command.";
    case ERROR_DISK_FULL: return "There is not enough space on the disk.";
    case ERROR_INVALID_PARAMETER: return "The parameter is incorrect.";
    case ERROR_INVALID_NAME: return "The filename, directory name, or volume label syntax is incorrect.";
    case ERROR_FILENAME_EXCED_RANGE: return "The filename or extension is too long.";
    case ERROR_CANT_RESOLVE_FILENAME: return "The name of the file cannot be resolved by the system.";
    default: return nullptr;
  }
}

// The reason for `error`: the errno behind it when it is the last error.
std::string reason_for(DWORD error) {
  const int error_number = error == GetLastError() ? errno_behind_last_error() : 0;
  if (error_number != 0) {
    char buffer[256];
    return strerror_r(error_number, buffer, sizeof buffer);
  }
  if (error == ERROR_NOT_SUPPORTED) return std::strerror(EOPNOTSUPP);
  const char* text = win32_text(error);
  return text ? text : std::string();
}

}  // namespace

DWORD FormatMessageW(DWORD flags, LPCVOID, DWORD message_id, DWORD, LPWSTR buffer, DWORD size, void*) {
  const DWORD error_on_entry = GetLastError();
  if ((flags & ~SUPPORTED_FLAGS) != 0 || !(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !buffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::string reason = reason_for(message_id);
  if (reason.empty()) {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return 0;
  }
  const std::u16string text = utf8_to_utf16(reason) + u"\r\n";
  if (text.size() >= size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  text.copy(buffer, text.size());
  buffer[text.size()] = 0;
  SetLastError(error_on_entry);
  return static_cast<DWORD>(text.size());
}
