#include "app/ifs_table_text.h"

#include <charconv>
#include <cmath>

namespace {

// The shortest text that reads back as the same float; the loader's words
// for the values that are not numbers.
void append_value(std::string& text, float value) {
  if (std::isnan(value)) {
    text += "NaN";
  } else if (std::isinf(value)) {
    text += value > 0 ? "+Infinity" : "-Infinity";
  } else {
    char digits[32];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, error == std::errc() ? end : digits);
  }
}

}  // namespace

std::string ifs_table_text(const IfsTable& table) {
  std::string text;
  for (std::int32_t map = 0; map <= table.last_map; ++map) {
    for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter) {
      if (parameter > 0) text += ' ';
      append_value(text, ifs_get(table, parameter, map));
    }
    text += '\n';
  }
  return text;
}
