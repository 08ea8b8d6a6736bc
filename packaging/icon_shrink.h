// Shrinking a rendered picture to an icon: pure pixel work, kept apart from
// the PNG reading and writing so that it can be tested on its own.
#pragma once

#include <vector>

// An RGB picture, rows top first, 3 bytes a pixel.
struct IconPicture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
};

// A square of the picture's plane; it may reach past the picture's edges,
// where the picture counts as black.
struct IconSquare {
  int left = 0;
  int top = 0;
  int side = 1;
};

// The square centred on the box of lit (not black) pixels, with a thin
// border; the whole picture when nothing is lit.
IconSquare icon_lit_square(const IconPicture& picture);

// The square shrunk (or grown) to size x size RGBA pixels: each icon pixel
// has the mean colour of the lit pixels it covers and an opacity that grows
// with their share, so black becomes transparent.
std::vector<unsigned char> icon_shrink(const IconPicture& picture, const IconSquare& square, int size);
