#include "cli/ifs_table_text.h"

#include <charconv>
#include <cmath>

namespace {

constexpr std::size_t PIECE_BYTES = 1 << 16;

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

void append_map(std::string& text, const IfsTable& table, std::int32_t map) {
  for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter) {
    if (parameter > 0) text += ' ';
    append_value(text, ifs_get(table, parameter, map));
  }
  text += '\n';
}

}  // namespace

bool ifs_table_text_write(const IfsTable& table, const std::function<bool(std::string_view)>& write) {
  std::string piece;
  piece.reserve(PIECE_BYTES + 256);
  for (std::int32_t map = 0; map <= table.last_map; ++map) {
    append_map(piece, table, map);
    if (piece.size() < PIECE_BYTES) continue;
    if (!write(piece)) return false;
    piece.clear();
  }
  return piece.empty() || write(piece);
}
