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
