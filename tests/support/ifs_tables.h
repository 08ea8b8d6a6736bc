// Loading map tables into the application state for tests of the drawing.
#pragma once

#include <vector>

// Resets the application state, then makes its table hold the given maps,
// each row {a, b, c, d, e, f, p}.
void use_maps(const std::vector<std::vector<float>>& maps);
