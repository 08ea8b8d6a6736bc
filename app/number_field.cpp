#include "app/number_field.h"

#include <cstddef>

namespace {

bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::size_t skip_digits(std::u16string_view text, std::size_t at) {
  while (at < text.size() && is_digit(text[at])) ++at;
  return at;
}

}  // namespace

bool number_field_words_equal(std::u16string_view text, std::u16string_view word) {
  if (text.size() != word.size()) return false;
  auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
  for (std::size_t i = 0; i < text.size(); ++i)
    if (fold(text[i]) != fold(word[i])) return false;
  return true;
}

bool number_field_is_decimal(std::u16string_view word) {
  std::size_t at = 0;
  if (at < word.size() && (word[at] == u'+' || word[at] == u'-')) ++at;
  const std::size_t integer_end = skip_digits(word, at);
  std::size_t digits = integer_end - at;
  at = integer_end;
  if (at < word.size() && word[at] == u'.') {
    const std::size_t fraction_end = skip_digits(word, at + 1);
    digits += fraction_end - (at + 1);
    at = fraction_end;
  }
  if (digits == 0) return false;
  if (at < word.size() && (word[at] == u'e' || word[at] == u'E')) {
    ++at;
    if (at < word.size() && (word[at] == u'+' || word[at] == u'-')) ++at;
    const std::size_t exponent_end = skip_digits(word, at);
    if (exponent_end == at) return false;
    at = exponent_end;
  }
  return at == word.size();
}

bool number_field_is_number(std::u16string_view field) {
  return number_field_is_decimal(field) || number_field_words_equal(field, u"+Infinity") ||
         number_field_words_equal(field, u"-Infinity") || number_field_words_equal(field, u"NaN");
}
