// The desktop program's picture: its size, the seed its points start from
// and the points one timer tick draws. The poster renderer's defaults are
// the same picture.
#pragma once

#include <cstdint>

inline constexpr std::int32_t APP_CANVAS_SIZE = 600;  // pixels a side, square
inline constexpr std::uint32_t APP_RANDOM_SEED = 1234;
// 20001 points per tick (the counter runs from 0 to 20000 inclusive).
inline constexpr std::int32_t BATCH_POINTS = 20001;
