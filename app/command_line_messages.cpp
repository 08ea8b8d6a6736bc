#include "app/command_line_messages.h"

#include <cerrno>
#include <cstring>

#include "platform/win32/kernel32.h"

std::string utf8_from(std::u16string_view text) {
  if (text.empty()) return {};
  const int wide_length = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide_length, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), wide_length, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

std::u16string utf16_from(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return {};
  std::u16string wide(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string message_box_line(std::u16string_view caption, std::u16string_view text) {
  return utf8_from(caption) + ": " + utf8_from(text);
}

std::string load_detail_line(const LoadOutcome& outcome) {
  std::string reason = utf8_from(outcome.reason);
  if (reason.empty() && outcome.system_error != ERROR_SUCCESS) reason = system_reason(outcome.system_error);
  if (reason.empty()) return {};
  std::string where = utf8_from(outcome.shown_name);
  if (outcome.line > 0) where += ":" + std::to_string(outcome.line);
  return "ifs-render: " + where + ": " + reason;
}

std::string system_reason(std::uint32_t error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return std::strerror(ENOENT);
    case ERROR_ACCESS_DENIED: return std::strerror(EACCES);
    case ERROR_TOO_MANY_OPEN_FILES: return std::strerror(EMFILE);
    case ERROR_NOT_ENOUGH_MEMORY: return std::strerror(ENOMEM);
    case ERROR_FILENAME_EXCED_RANGE: return std::strerror(ENAMETOOLONG);
    case ERROR_INVALID_NAME: return "Invalid file name";
    case ERROR_DISK_FULL: return std::strerror(ENOSPC);
    default: return "system error " + std::to_string(error);
  }
}
