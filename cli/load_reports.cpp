#include "cli/load_reports.h"

#include "cli/terminal_text.h"
#include "platform/win32/kernel32.h"
#include "runtime/core/system_reason.h"

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
  return terminal_text(caption) + ": " + terminal_text(text);
}

std::string load_detail_line(const LoadOutcome& outcome) {
  std::string reason = terminal_text(outcome.reason);
  if (reason.empty() && outcome.system_error != ERROR_SUCCESS) reason = terminal_text(system_reason(outcome.system_error));
  if (reason.empty()) return {};
  std::string where = terminal_text(outcome.shown_name);
  if (outcome.line > 0) where += ":" + std::to_string(outcome.line);
  if (where.empty()) return "ifs-render: " + reason;  // an empty name names nothing
  return "ifs-render: " + where + ": " + reason;
}
