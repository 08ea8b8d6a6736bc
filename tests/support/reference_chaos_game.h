// An independent computation of the program's pictures, written from the
// chaos-game rules alone (the seeded two-table generator, the weighted map
// choice, the measurement and square view, two-pixel points, the eight
// colours), without calling any of the program's functions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ReferencePicture {
  int width = 600;
  int height = 600;
  std::vector<std::uint32_t> pixels;  // 0xBBGGRR, top line first
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The canvas after the program started with `ifs_text` as its file (seed
// 1234, built-in IFS measured, the file measured, canvas cleared) and drew
// `batches` timer ticks. Lines are split at LF; fields at single spaces.
ReferencePicture reference_render(const std::string& ifs_text, int batches);
// The canvas after seeding 1234, measuring only the table of `ifs_text` (the
// built-in IFS when the text is empty), clearing the canvas and drawing
// `batches` timer ticks.
ReferencePicture reference_render_alone(const std::string& ifs_text, int batches);

// The same start-up with a 3-D table: `maps_text` holds thirteen numbers a
// line (the 3x3 matrix by rows, the offset, the weight). Each point (x, y, z)
// is seen at (x, y), or at (z, y) with `seen_from_the_side` (a quarter turn
// about the y axis).
ReferencePicture reference_render_space(const std::string& maps_text, bool seen_from_the_side, int batches);
