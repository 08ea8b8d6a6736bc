// Runs of the whole program with the picture options, on .ifs texts written
// to a scratch folder, and the pixels of the PNGs they write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/image_readers.h"

struct PosterRun {
  int code = -1;
  std::string errors;
};

struct Rgb {
  int red, green, blue;
  bool operator==(const Rgb&) const = default;
};
void PrintTo(const Rgb& colour, std::ostream* out);
// Pixel (x, y) of a decoded RGB PNG, 8 or 16 bits per channel.
Rgb pixel(const DecodedPng& png, std::uint32_t x, std::uint32_t y);

class PosterTest : public ::testing::Test {
 protected:
  // Writes `ifs_text` as NAME.ifs and renders it to `output` (a name in the
  // scratch folder) with the given options.
  PosterRun render(const std::string& ifs_text, const std::string& output, const std::vector<std::string>& options);
  std::string path(const std::string& name) const { return folder.file(name); }

  ScratchFolder folder;
};
