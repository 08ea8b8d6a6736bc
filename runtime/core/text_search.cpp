// Measuring, finding, counting and comparing texts.
#include <climits>

#include "runtime/core/text.h"

namespace {

std::int32_t as_count(std::size_t value) {
  return value > static_cast<std::size_t>(INT32_MAX) ? INT32_MAX : static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t text_length(std::u16string_view s) { return as_count(s.size()); }

std::int32_t text_find(std::u16string_view s, std::u16string_view pattern) {
  if (s.empty() || pattern.empty()) return 0;
  std::size_t found = s.find(pattern);
  return found == std::u16string_view::npos ? 0 : as_count(found + 1);
}

std::int32_t text_count(std::u16string_view s, std::u16string_view pattern) {
  if (s.empty() || pattern.empty()) return 0;
  std::int32_t count = 0;
  for (std::size_t at = s.find(pattern); at != std::u16string_view::npos; at = s.find(pattern, at + pattern.size()))
    if (count < INT32_MAX) ++count;
  return count;
}

bool text_equal(std::u16string_view a, std::u16string_view b) { return a == b; }
