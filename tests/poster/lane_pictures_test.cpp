// The whole program's pictures do not depend on the lockstep path: every
// example rendered through the scalar loop (IFS_SIMD=scalar) and through the
// widest path this processor has, on one thread and on two, gives the same
// PNG file, byte for byte.
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "poster_run.h"

namespace {

class LanePictures : public PosterTest {
 protected:
  Bytes picture(const std::string& ifs_text, const char* simd, const std::string& shade, const char* threads) {
    if (simd != nullptr) setenv("IFS_SIMD", simd, 1);
    const PosterRun run = render(ifs_text, "picture.png", {"--shade", shade, "--threads", threads});
    unsetenv("IFS_SIMD");
    EXPECT_EQ(run.code, 0) << run.errors;
    return read_file(path("picture.png"));
  }
};

TEST_F(LanePictures, EveryExampleGivesTheScalarLoopsBytesOnEveryPathAndThreadCount) {
  for (const char* file : {"carpet.ifs", "dragon.ifs", "fern.ifs", "maple.ifs", "sierpinski.ifs", "spiral.ifs",
                           "tree.ifs", "classics.ifs"}) {
    const Bytes text = read_file(std::string(IFS_SOURCE_DIR "/examples/") + file);
    const std::string ifs_text(text.begin(), text.end());
    for (const std::string shade : {"density", "flat"}) {
      const Bytes scalar = picture(ifs_text, "scalar", shade, "1");
      const DecodedPng decoded = decode_png(path("picture.png"));
      ASSERT_EQ(decoded.width, 600u) << file;
      std::size_t lit = 0;
      for (const Bytes& row : decoded.rows)
        for (const std::uint8_t byte : row) lit += byte != 0;
      EXPECT_GT(lit, 600u) << file << " " << shade;  // a picture, not a black square
      EXPECT_EQ(picture(ifs_text, nullptr, shade, "1"), scalar) << file << " " << shade;
      EXPECT_EQ(picture(ifs_text, nullptr, shade, "2"), scalar) << file << " " << shade << ", 2 threads";
    }
  }
}

}  // namespace
