// The icon's backdrop: a dark rounded square under the fractal, so that the
// pastel points stay visible at panel sizes on light panels as on dark ones.
#pragma once

#include <vector>

// The room between the backdrop's edge and the fractal, in pixels, for an
// icon of `size`: the fractal's square keeps clear of the rounded corners.
int icon_backdrop_inset(int size);

// The fractal (`inner_size` x `inner_size` RGBA, straight alpha, as
// icon_shrink makes it) centred over the backdrop, as `size` x `size` RGBA.
std::vector<unsigned char> icon_on_backdrop(const std::vector<unsigned char>& fractal, int inner_size, int size);
