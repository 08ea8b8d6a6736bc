#include "cli/load_reports.h"

#include <charconv>

#include "cli/code_page_text.h"
#include "cli/terminal_text.h"
#include "platform/win32/kernel32.h"
#include "runtime/core/system_reason.h"

std::string utf8_from(std::u16string_view text) { return text_to_code_page(CP_UTF8, text); }

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
  const std::string hint = load_hint_line(outcome);
  if (!hint.empty()) std::fprintf(errors, "%s\n", hint.c_str());
  return true;
}

namespace {

std::string float_text(float value) {
  char digits[32];
  const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
  return std::string(digits, end.ptr);
}

std::string odd_field_line(const std::string& file, const OddField& odd) {
  const std::string where = "ifs-render: " + file + ":" + std::to_string(odd.line) + ": warning: field " +
                            std::to_string(odd.field);
  const std::string read_as = " and is read as " + float_text(odd.value);
  if (odd.text.empty()) return where + " is empty" + read_as;
  return where + ", \"" + terminal_text(odd.text) + "\", is not a number" + read_as;
}

}  // namespace

std::vector<std::string> load_warning_lines(const LoadOutcome& outcome) {
  const std::string file = terminal_text(outcome.shown_name);
  std::vector<std::string> lines;
  for (const OddField& odd : outcome.odd_fields) lines.push_back(odd_field_line(file, odd));
  const std::int64_t more = outcome.odd_field_count - static_cast<std::int64_t>(outcome.odd_fields.size());
  if (more > 0)
    lines.push_back("ifs-render: " + file + ": warning: " + std::to_string(more) +
                    (more == 1 ? " more field is" : " more fields are") + " not a number");
  return lines;
}

std::string load_hint_line(const LoadOutcome& outcome) {
  if (!outcome.reads_as_block_body) return {};
  return "ifs-render: hint: wrapped in NAME { ... }, the lines of " + terminal_text(outcome.shown_name) +
         " read as a library table, where runs of spaces, tabs and ; comments are allowed";
}
