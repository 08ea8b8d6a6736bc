// Which map the chaos game moves the point by, for a random r in 0.00 .. 1.00:
// the first map in table order whose cumulative float weight reaches r.
#pragma once

#include <array>
#include <cstdint>

#include "app/ifs_table.h"

// r for the random number k = random_next(100): k / 100, stored as float.
inline float map_choice_fraction(std::int32_t hundredths) {
  return static_cast<float>(static_cast<double>(hundredths) / 100.0);
}

// The plain scan over the maps: the first map whose cumulative weight reaches
// r, or IFS_NO_MAP when the weights add up to less than r.
std::int32_t chaos_choose_map(const IfsTable& table, float r);

// The map for each of the IFS_CHOICE_COUNT values of r, worked out with the
// same float sums in the same order as the plain scan, in one pass over the
// maps; IFS_NO_MAP where the weights fall short.
using MapChoices = std::array<std::int32_t, IFS_CHOICE_COUNT>;
void map_choices_compute(const IfsTable& table, MapChoices& choices);
// The table's own choices worked out again.
void map_choices_build(IfsTable& table);

// The table's choices, indexed by random_next(100), rebuilt first if a weight
// or the map count changed since they were last worked out.
inline const std::int32_t* map_choices(IfsTable& table) {
  if (table.choices_stale) map_choices_build(table);
  return table.choices.data();
}
