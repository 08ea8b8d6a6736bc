#include "poster/colour_maps.h"

#include <algorithm>
#include <cmath>

namespace {

struct NamedMap {
  const char* word;
  ColourMapName name;
  const ColourMapTable* table;  // null for grey, which is its own position
};

const NamedMap MAPS[] = {
    {"inferno", COLOUR_MAP_INFERNO, &INFERNO_TABLE}, {"magma", COLOUR_MAP_MAGMA, &MAGMA_TABLE},
    {"viridis", COLOUR_MAP_VIRIDIS, &VIRIDIS_TABLE}, {"cividis", COLOUR_MAP_CIVIDIS, &CIVIDIS_TABLE},
    {"grey", COLOUR_MAP_GREY, nullptr},
};

const NamedMap* find_map(ColourMapName name) {
  for (const NamedMap& map : MAPS)
    if (map.name == name) return &map;
  return nullptr;
}

}  // namespace

ColourMapName colour_map_named(const std::string& word) {
  if (word == "gray") return COLOUR_MAP_GREY;
  for (const NamedMap& map : MAPS)
    if (word == map.word) return map.name;
  return COLOUR_MAP_NONE;
}

const char* colour_map_word(ColourMapName name) {
  const NamedMap* map = find_map(name);
  return map == nullptr ? "" : map->word;
}

MapColour colour_map_at(ColourMapName name, double position) {
  const double t = std::isnan(position) ? 0.0 : std::clamp(position, 0.0, 1.0);
  const NamedMap* map = find_map(name);
  if (map == nullptr || map->table == nullptr) return {t, t, t};
  const double at = t * (COLOUR_MAP_ENTRIES - 1);
  const int low = std::min(static_cast<int>(at), COLOUR_MAP_ENTRIES - 2);
  const double share = at - low;
  const MapColour& a = (*map->table)[low];
  const MapColour& b = (*map->table)[low + 1];
  return {a.red + (b.red - a.red) * share, a.green + (b.green - a.green) * share, a.blue + (b.blue - a.blue) * share};
}
