#include "platform/backend/gtk/file_filters.h"

#include <cctype>

#include "platform/kernel32/text_conversion.h"

namespace {

// The same bound as the dialogs themselves use for a list missing its end.
constexpr int MAX_TEXTS = 2048;

std::vector<std::string> split_patterns(const std::u16string& patterns) {
  std::vector<std::string> result;
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = patterns.find(u';', start);
    if (end == std::u16string::npos) end = patterns.size();
    std::u16string one = patterns.substr(start, end - start);
    while (!one.empty() && one.front() == u' ') one.erase(0, 1);
    while (!one.empty() && one.back() == u' ') one.pop_back();
    if (!one.empty()) result.push_back(file_filter_case_blind(utf16_to_utf8(one)));
    start = end + 1;
  }
  return result;
}

}  // namespace

std::string file_filter_case_blind(const std::string& pattern) {
  std::string blind;
  for (char unit : pattern) {
    const unsigned char byte = static_cast<unsigned char>(unit);
    if (std::isalpha(byte) && byte < 0x80) {
      blind += '[';
      blind += static_cast<char>(std::tolower(byte));
      blind += static_cast<char>(std::toupper(byte));
      blind += ']';
    } else if (unit == '[' || unit == ']') {
      // A bracket stands for itself inside a one-character set.
      blind += '[';
      blind += unit;
      blind += ']';
    } else {
      blind += unit;
    }
  }
  return blind;
}

std::vector<FileFilterEntry> file_filters_parse(LPCWSTR filter) {
  std::vector<FileFilterEntry> entries;
  for (int texts = 0; filter && *filter && texts < MAX_TEXTS; texts += 2) {
    FileFilterEntry entry;
    entry.description = filter;
    filter += entry.description.size() + 1;
    if (!*filter) break;  // a description without its pattern is no filter
    const std::u16string patterns(filter);
    filter += patterns.size() + 1;
    entry.patterns = split_patterns(patterns);
    entries.push_back(std::move(entry));
  }
  return entries;
}
