// A second, plainly written NeuQuant colour reduction (Dekker's network with an alpha channel, as
// published), with the parameters the saver fixes: gamma 1.8 for colour bytes, a grey starting ramp
// with alpha 16 j, and a sampling factor of min(pixels / 262144 + 1, 10). Written from the algorithm,
// not from the encoder, so that the two can be compared palette entry by palette entry.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct ReferencePalette {
  std::vector<std::array<std::uint8_t, 4>> colours;  // B, G, R, A
  std::vector<int> indices;                          // one per pixel, in memory row order
};

// pixels: rows of width B, G, R (bytes_per_pixel 3) or B, G, R, A (4) pixels, row_size bytes apart.
ReferencePalette reference_neuquant(const std::uint8_t* pixels, int width, int height, int bytes_per_pixel,
                                    int row_size, int colour_count);
