// Cutting texts: substrings, right ends, trimming, lower case.
#include "platform/win32/user32_character_case.h"
#include "runtime/core/text.h"

std::u16string text_mid(std::u16string_view s, std::int32_t start, std::int32_t length) {
  if (length <= 0) return {};
  std::size_t skip = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (skip >= s.size()) return {};
  return std::u16string(s.substr(skip, static_cast<std::size_t>(length)));
}

std::u16string text_right(std::u16string_view s, std::int32_t n) {
  if (n <= 0) return {};
  auto count = static_cast<std::size_t>(n);
  return std::u16string(count >= s.size() ? s : s.substr(s.size() - count));
}

std::u16string text_lower(std::u16string_view s) {
  std::u16string copy(s);
  // CharLowerW stops at a terminator: lower each null-separated stretch.
  for (std::size_t at = 0; at < copy.size(); at += std::char_traits<char16_t>::length(&copy[at]) + 1)
    CharLowerW(&copy[at]);
  return copy;
}

std::u16string text_trim(std::u16string_view s, std::u16string_view chars) {
  if (chars.empty()) return std::u16string(s);
  std::size_t first = s.find_first_not_of(chars.front());
  if (first == std::u16string_view::npos) return {};
  std::size_t last = s.find_last_not_of(chars.front());
  return std::u16string(s.substr(first, last - first + 1));
}
