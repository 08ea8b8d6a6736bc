// Build-time helper: turns a picture the program rendered into its icons.
// The lit part of the picture is cut out, centred in a square and shrunk to
// each size by averaging, then laid on a dark rounded square: the pale points
// alone would vanish on a light panel.
//
// Usage: icon_scale PICTURE.png OUT_DIR NAME SIZE...
// writes OUT_DIR/SIZExSIZE/apps/NAME.png for every SIZE (1 to 1024).
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "packaging/icon_backdrop.h"
#include "packaging/icon_shrink.h"

namespace {

bool read_rgb(const char* path, IconPicture& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path)) return false;
  image.format = PNG_FORMAT_RGB;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.rgb.resize(PNG_IMAGE_SIZE(image));
  return png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
}

bool write_rgba(const std::string& path, int size, const std::vector<unsigned char>& rgba) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(size);
  image.height = static_cast<png_uint_32>(size);
  image.format = PNG_FORMAT_RGBA;
  return png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fputs("usage: icon_scale PICTURE.png OUT_DIR NAME SIZE...\n", stderr);
    return 64;
  }
  IconPicture picture;
  if (!read_rgb(argv[1], picture)) {
    std::fprintf(stderr, "icon_scale: cannot read %s\n", argv[1]);
    return 1;
  }
  const IconSquare square = icon_lit_square(picture);
  for (int index = 4; index < argc; ++index) {
    const int size = std::atoi(argv[index]);
    if (size < 1 || size > 1024) {
      std::fprintf(stderr, "icon_scale: bad size %s\n", argv[index]);
      return 64;
    }
    const std::string folder = std::string(argv[2]) + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string path = folder + "/" + argv[3] + ".png";
    const int inner_size = size - 2 * icon_backdrop_inset(size);
    const std::vector<unsigned char> icon = icon_on_backdrop(icon_shrink(picture, square, inner_size), inner_size, size);
    if (error || !write_rgba(path, size, icon)) {
      std::fprintf(stderr, "icon_scale: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
