#include "app/shortened_text.h"

namespace {

constexpr char16_t ELLIPSIS = u'\u2026';

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

std::u16string shortened_text(std::u16string_view text) {
  if (text.size() <= SHOWN_LINE_LIMIT) return std::u16string(text);
  std::size_t kept = SHOWN_LINE_LIMIT - 1;
  if (is_high_surrogate(text[kept - 1])) --kept;
  std::u16string shown(text.substr(0, kept));
  shown += ELLIPSIS;
  return shown;
}
