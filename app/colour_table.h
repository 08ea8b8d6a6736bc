// The eight pastel point colours, chosen by the index of the map that moved
// the point (index AND 7). Values are 0xBBGGRR: red in the lowest byte.
#pragma once

#include <cstdint>

inline constexpr int COLOUR_COUNT = 8;

struct ColourTable {
  std::uint32_t colours[COLOUR_COUNT];
};

inline constexpr std::uint32_t colour_from_components(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return red + green * 256 + blue * 65536;
}

inline constexpr ColourTable INITIAL_COLOURS = {{
    colour_from_components(255, 255, 255),
    colour_from_components(255, 190, 255),
    colour_from_components(255, 255, 190),
    colour_from_components(190, 255, 255),
    colour_from_components(255, 190, 190),
    colour_from_components(190, 255, 190),
    colour_from_components(190, 190, 255),
    colour_from_components(190, 210, 255),
}};

// Map indices 8 and above reuse the colours from index 0.
inline std::uint32_t colour_for_map(const ColourTable& table, std::int32_t map_index) {
  return table.colours[map_index & (COLOUR_COUNT - 1)];
}
