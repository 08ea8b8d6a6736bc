// Whether a field of a table is wholly a number: what the loader's number
// reading reads to its last character, so that nothing of the field is lost
// or read as 0 without a word.
#pragma once

#include <string_view>

// A decimal number, [sign] digits [. digits] or [sign] . digits with an
// optional exponent, or one of the words +Infinity, -Infinity, NaN in any case.
bool number_field_is_number(std::u16string_view field);
// The decimal number alone, without the words.
bool number_field_is_decimal(std::u16string_view field);
// ASCII letters compared without case, as the words and the options are.
bool number_field_words_equal(std::u16string_view text, std::u16string_view word);
