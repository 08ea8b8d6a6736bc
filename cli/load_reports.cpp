#include "cli/load_reports.h"

#include "cli/code_page_text.h"
#include "cli/terminal_text.h"
#include "platform/win32/kernel32.h"
#include "runtime/core/system_reason.h"

std::string utf8_from(std::u16string_view text) { return text_to_code_page(CP_UTF8, text); }

std::u16string utf16_from(const std::string& text) { return text_from_code_page(CP_UTF8, text); }

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

bool report_load_messages(const LoadOutcome& outcome, std::FILE* errors) {
  for (const LoadMessage& message : outcome.messages)
    std::fprintf(errors, "%s\n", message_box_line(message.caption, message.text).c_str());
  if (outcome.messages.empty()) return false;
  const std::string detail = load_detail_line(outcome);
  if (!detail.empty()) std::fprintf(errors, "%s\n", detail.c_str());
  return true;
}
