// Perceptual colour maps for density pictures: the density (0 to 1) picks a
// colour along the map instead of the maps' own colours.
#pragma once

#include <array>
#include <string>

enum ColourMapName { COLOUR_MAP_NONE, COLOUR_MAP_INFERNO, COLOUR_MAP_MAGMA, COLOUR_MAP_VIRIDIS, COLOUR_MAP_CIVIDIS, COLOUR_MAP_GREY };

struct MapColour {
  double red = 0.0, green = 0.0, blue = 0.0;  // 0..1
};

inline constexpr int COLOUR_MAP_ENTRIES = 256;
using ColourMapTable = std::array<MapColour, COLOUR_MAP_ENTRIES>;

extern const ColourMapTable INFERNO_TABLE;
extern const ColourMapTable MAGMA_TABLE;
extern const ColourMapTable VIRIDIS_TABLE;
extern const ColourMapTable CIVIDIS_TABLE;

// The map named on the command line ("inferno", "magma", "viridis",
// "cividis", "grey" or "gray"); COLOUR_MAP_NONE for any other word.
ColourMapName colour_map_named(const std::string& word);
// The name the command line takes for the map ("grey" for either spelling).
const char* colour_map_word(ColourMapName name);
// The colour at `position` (clamped to 0..1), between the two nearest entries.
MapColour colour_map_at(ColourMapName name, double position);
