#include "app/space_maps.h"

#include <cmath>

namespace {

struct Turn {
  double cosine, sine;
};

// Exact at multiples of 90 degrees, where the library's sine of pi/2 is not.
Turn turn_of(double degrees) {
  const double turns = degrees / 90.0;
  if (turns == std::floor(turns)) {
    const long quarter = static_cast<long>(std::fmod(std::fmod(turns, 4.0) + 4.0, 4.0));
    constexpr Turn QUARTERS[4] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    return QUARTERS[quarter];
  }
  const double radians = degrees * (3.14159265358979323846 / 180.0);
  return Turn{std::cos(radians), std::sin(radians)};
}

using Matrix = std::array<double, 9>;

Matrix product(const Matrix& left, const Matrix& right) {
  Matrix result{};
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      for (int k = 0; k < 3; ++k) result[row * 3 + column] += left[row * 3 + k] * right[k * 3 + column];
  return result;
}

}  // namespace

std::array<double, 9> space_turn_from_degrees(double yaw, double pitch, double roll) {
  const Turn y = turn_of(yaw), p = turn_of(pitch), r = turn_of(roll);
  const Matrix about_y{y.cosine, 0, y.sine, 0, 1, 0, -y.sine, 0, y.cosine};
  const Matrix about_x{1, 0, 0, 0, p.cosine, -p.sine, 0, p.sine, p.cosine};
  const Matrix about_z{r.cosine, -r.sine, 0, r.sine, r.cosine, 0, 0, 0, 1};
  return product(about_z, product(about_x, about_y));
}
