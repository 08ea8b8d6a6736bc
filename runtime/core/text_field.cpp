// Splitting delimited records.
#include "runtime/core/text.h"

std::u16string text_field(std::u16string_view s, std::int32_t n, std::u16string_view delimiter) {
  if (n < 1) return {};
  if (delimiter.empty()) return n == 1 ? std::u16string(s) : std::u16string();
  std::size_t start = 0;
  for (std::int32_t field = 1;; ++field) {
    std::size_t end = s.find(delimiter, start);
    if (field == n) return std::u16string(s.substr(start, end == std::u16string_view::npos ? end : end - start));
    if (end == std::u16string_view::npos) return {};  // the text ended before field n
    start = end + delimiter.size();
  }
}
