// Arbitrary bytes as a .ifs file handed to the thumbnailer, the way a file
// manager runs it on whatever a folder holds: `--thumbnail SIZE FILE OUT`
// through the option parser, the bounded copy, the loader with its map limit,
// the tries of a library's tables and the density render. Whatever the
// bytes, it ends with a status, and a picture exists exactly when it
// succeeded: a SIZE x SIZE PNG.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/offscreen_render.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_program.h"

namespace {

std::string input_path;
std::string picture_path;

void check(bool condition) {
  if (!condition) std::abort();
}

std::vector<std::uint8_t> read_all(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(file)) != EOF;) bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(file);
  }
  return bytes;
}

std::uint32_t big_endian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 | std::uint32_t{bytes[at + 2]} << 8 |
         bytes[at + 3];
}

// The PNG signature, then IHDR with the width and height asked for.
void check_picture(int size) {
  const std::vector<std::uint8_t> png = read_all(picture_path);
  static const std::uint8_t SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  check(png.size() > 33);
  for (int i = 0; i < 8; ++i) check(png[i] == SIGNATURE[i]);
  check(big_endian(png, 16) == static_cast<std::uint32_t>(size) && big_endian(png, 20) == static_cast<std::uint32_t>(size));
}

void remove_files() {
  std::remove(input_path.c_str());
  std::remove(picture_path.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::string stem = fuzz_scratch_folder() + "/thumbnail_fuzz_" + std::to_string(getpid());
  input_path = stem + ".ifs";
  picture_path = stem + ".png";
  std::atexit(remove_files);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first byte picks a small side, so that each run stays quick; the
  // rest is the file.
  FuzzInput input(data, size);
  const int side = input.number(1, 48);
  std::FILE* file = std::fopen(input_path.c_str(), "wb");
  if (!file) return 0;
  const bool written = input.rest_size() == 0 || std::fwrite(input.rest(), 1, input.rest_size(), file) == input.rest_size();
  if (std::fclose(file) != 0 || !written) return 0;
  std::remove(picture_path.c_str());

  std::FILE* out = std::tmpfile();
  std::FILE* errors = std::tmpfile();
  if (!out || !errors) std::abort();
  const int code = ifs_render_main({"--thumbnail", std::to_string(side), input_path, picture_path}, out, errors);
  std::fclose(out);
  std::fclose(errors);
  const bool picture_exists = access(picture_path.c_str(), F_OK) == 0;
  check(picture_exists == (code == 0));
  if (code == 0) check_picture(side);
  return 0;
}
