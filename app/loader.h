// Reading a .ifs file into the map table: one map per line, seven numbers
// a b c d e f p separated by single spaces. Every line is checked before the
// table is touched, so a load either replaces the whole table or changes
// nothing. Every outcome is shown to the user or visible on the canvas.
#pragma once

#include <cstdint>
#include <string_view>

inline constexpr std::int32_t LOADER_FILE = 0;
inline constexpr std::int32_t DRAW_TIMER = 123;
inline constexpr std::int32_t DRAW_TIMER_INTERVAL_MS = 1500;
inline constexpr std::int32_t APP_WINDOW = 0;

void load_ifs(std::u16string_view name);

// The most maps a load may make: a file with more lines is refused with a
// message instead of the table growing past what memory allows.
inline constexpr std::int64_t LOADER_DEFAULT_MAP_LIMIT = 1 << 24;
void loader_map_limit_set(std::int64_t maps);
