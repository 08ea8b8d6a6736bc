// UTF-8 <-> UTF-16 conversion at the OS boundary. Above the platform layer
// texts are UTF-16; Linux file names, arguments and 8-bit text are UTF-8.
#pragma once

#include <string>
#include <string_view>

// Ill-formed input (lone surrogates) becomes U+FFFD. When found_invalid is
// given, it reports whether any replacement was made.
std::string utf16_to_utf8(std::u16string_view text, bool* found_invalid = nullptr);

// Each maximal ill-formed byte sequence (stray continuation bytes, truncated
// or overlong sequences, encoded surrogates, values above U+10FFFF) becomes
// one U+FFFD; characters above U+FFFF become surrogate pairs.
std::u16string utf8_to_utf16(std::string_view text, bool* found_invalid = nullptr);

// The system code page's lossless form: each byte that is not part of valid
// UTF-8 becomes the lone surrogate U+DC00 + byte (U+DC80..U+DCFF).
std::u16string bytes_to_utf16(std::string_view bytes);
// The inverse: false for a lone surrogate outside U+DC80..U+DCFF, or for
// stand-ins that would spell valid UTF-8 (that text names other bytes).
bool utf16_to_bytes(std::u16string_view text, std::string& bytes);

// Decodes UTF-8 straight into `out` without building a copy: returns the
// number of UTF-16 units the whole text needs, writing the first `capacity`
// of them (none when out is null). Ill-formed input becomes U+FFFD as in
// utf8_to_utf16, or byte stand-ins as in bytes_to_utf16 when `lossless`.
std::size_t utf8_to_utf16_into(std::string_view text, bool lossless, char16_t* out, std::size_t capacity,
                               bool* found_invalid = nullptr);
