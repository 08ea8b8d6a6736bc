#include "packaging/icon_backdrop.h"

#include <algorithm>

namespace {

// A dark slate: far from white and from the pastel point colours alike.
constexpr int BACKDROP_RED = 28;
constexpr int BACKDROP_GREEN = 32;
constexpr int BACKDROP_BLUE = 44;
// Corner radius and inset as shares of the icon's side. With these the
// corners of the fractal's square lie inside the rounded corners.
constexpr double CORNER_RADIUS_SHARE = 0.22;
constexpr double INSET_SHARE = 0.09;
// Samples per pixel along each axis for the edge's antialiasing.
constexpr int EDGE_SAMPLES = 4;

bool inside_rounded_square(double x, double y, double size, double radius) {
  const double corner_x = std::clamp(x, radius, size - radius);
  const double corner_y = std::clamp(y, radius, size - radius);
  const double dx = x - corner_x, dy = y - corner_y;
  return dx * dx + dy * dy <= radius * radius;
}

// The share of the pixel (x, y) the backdrop covers, 0 to 255.
int backdrop_coverage(int x, int y, int size) {
  const double radius = size * CORNER_RADIUS_SHARE;
  int inside = 0;
  for (int sy = 0; sy < EDGE_SAMPLES; ++sy)
    for (int sx = 0; sx < EDGE_SAMPLES; ++sx)
      inside += inside_rounded_square(x + (sx + 0.5) / EDGE_SAMPLES, y + (sy + 0.5) / EDGE_SAMPLES, size, radius);
  return (255 * inside + EDGE_SAMPLES * EDGE_SAMPLES / 2) / (EDGE_SAMPLES * EDGE_SAMPLES);
}

// `top` (straight alpha) over the backdrop colour of coverage `below_alpha`.
void composite(const unsigned char* top, int below_alpha, unsigned char* out) {
  const int below[3] = {BACKDROP_RED, BACKDROP_GREEN, BACKDROP_BLUE};
  const int top_alpha = top[3];
  const int below_share = below_alpha * (255 - top_alpha);  // in 255ths of 255ths
  const int alpha_scaled = top_alpha * 255 + below_share;
  out[3] = static_cast<unsigned char>((alpha_scaled + 127) / 255);
  if (alpha_scaled == 0) return;
  for (int channel = 0; channel < 3; ++channel)
    out[channel] = static_cast<unsigned char>(
        (top[channel] * top_alpha * 255 + below[channel] * below_share + alpha_scaled / 2) / alpha_scaled);
}

}  // namespace

int icon_backdrop_inset(int size) { return static_cast<int>(size * INSET_SHARE + 0.5); }

std::vector<unsigned char> icon_on_backdrop(const std::vector<unsigned char>& fractal, int inner_size, int size) {
  std::vector<unsigned char> rgba(static_cast<std::size_t>(size) * size * 4, 0);
  const int offset = (size - inner_size) / 2;
  const unsigned char clear[4] = {0, 0, 0, 0};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const int inner_x = x - offset, inner_y = y - offset;
      const bool in_fractal = inner_x >= 0 && inner_x < inner_size && inner_y >= 0 && inner_y < inner_size;
      const unsigned char* top =
          in_fractal ? &fractal[(static_cast<std::size_t>(inner_y) * inner_size + inner_x) * 4] : clear;
      composite(top, backdrop_coverage(x, y, size), &rgba[(static_cast<std::size_t>(y) * size + x) * 4]);
    }
  }
  return rgba;
}
