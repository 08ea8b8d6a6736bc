// The runtime's text functions. Texts are UTF-16; lengths and positions count
// code units; positions are 1-based and 0 means not found. A null text is the
// empty view (text_view turns a possibly null pointer into one).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

inline std::u16string_view text_view(const char16_t* text) {
  return text ? std::u16string_view(text) : std::u16string_view();
}

std::int32_t text_length(std::u16string_view s);
// Position of the first exact occurrence of pattern, 0 if none or either is empty.
std::int32_t text_find(std::u16string_view s, std::u16string_view pattern);
// Non-overlapping occurrences of pattern; 0 if either is empty.
std::int32_t text_count(std::u16string_view s, std::u16string_view pattern);
bool text_equal(std::u16string_view a, std::u16string_view b);

// length code units from position start (start < 1 counts as 1, length < 0 as 0).
std::u16string text_mid(std::u16string_view s, std::int32_t start, std::int32_t length);
// The last n code units (n < 0 counts as 0).
std::u16string text_right(std::u16string_view s, std::int32_t n);
// Lower case by the system's mapping (CharLowerW).
std::u16string text_lower(std::u16string_view s);
// Without the leading and trailing runs of the first code unit of chars
// (the space by default); an empty chars trims nothing.
std::u16string text_trim(std::u16string_view s, std::u16string_view chars = u" ");

// Field n (1-based) of s split at delimiter; empty if there is no such field.
// An empty delimiter makes the whole text field 1.
std::u16string text_field(std::u16string_view s, std::int32_t n, std::u16string_view delimiter);

// "+Infinity", "-Infinity" and "NaN" in any case; otherwise the longest prefix
// [white space][sign]digits[.digits][(e|E)[sign]digits], '.' always being the
// decimal point, correctly rounded; 0.0 when nothing can be read.
float text_to_float(std::u16string_view s);

// The directory part of path, up to and including its last slash or
// backslash; a leading double quote is skipped and a '|' ends the scan.
std::u16string path_part(std::u16string_view path);
// Index of the last unit that the system takes for a folder separator, or npos.
std::size_t path_last_separator(std::u16string_view path);

std::u16string text_concat_list(std::initializer_list<std::u16string_view> texts);

inline std::u16string_view text_argument(std::u16string_view text) { return text; }
inline std::u16string_view text_argument(const char16_t* text) { return text_view(text); }

// The texts one after another; a null pointer adds nothing.
template <typename... Texts>
std::u16string text_concat(const Texts&... texts) {
  return text_concat_list({text_argument(texts)...});
}
