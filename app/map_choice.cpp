#include "app/map_choice.h"

namespace {

float add_weight(float sum, float weight) { return static_cast<float>(static_cast<double>(sum) + weight); }

}  // namespace

std::int32_t chaos_choose_map(const IfsTable& table, float r) {
  const float* weights = ifs_row(table, IFS_P);
  float sum = 0.0f;
  for (std::int32_t map = 0; map <= table.last_map; ++map) {
    sum = add_weight(sum, weights[map]);
    if (sum >= r) return map;
  }
  return IFS_NO_MAP;
}

// r grows with k, so a sum that reaches some r reaches every smaller one too:
// the values of r not yet reached are always those from `next` on, and the
// first sum to reach one of them is the one the plain scan stops at. Sums may
// fall (negative weights) or be NaN (reaching nothing); that changes neither.
void map_choices_compute(const IfsTable& table, MapChoices& choices) {
  const float* weights = ifs_row(table, IFS_P);
  std::int32_t next = 0;
  float sum = 0.0f;
  for (std::int32_t map = 0; map <= table.last_map && next < IFS_CHOICE_COUNT; ++map) {
    sum = add_weight(sum, weights[map]);
    while (next < IFS_CHOICE_COUNT && sum >= map_choice_fraction(next)) choices[next++] = map;
  }
  while (next < IFS_CHOICE_COUNT) choices[next++] = IFS_NO_MAP;
}

void map_choices_build(IfsTable& table) {
  map_choices_compute(table, table.choices);
  table.choices_stale = false;
}
