// Texts from files and names shown to people: a line can be any length, a
// message can not.
#pragma once

#include <string>
#include <string_view>

// Code units of a shown line before it is cut.
inline constexpr std::size_t SHOWN_LINE_LIMIT = 200;

// `text` when it is at most SHOWN_LINE_LIMIT code units long; otherwise its
// beginning followed by an ellipsis (U+2026), never splitting a surrogate pair.
std::u16string shortened_text(std::u16string_view text);
