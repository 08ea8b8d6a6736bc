// The thumbnailer as a file manager runs it: the installed program started
// with `--thumbnail SIZE FILE OUT` on whatever file a folder holds. A file
// that can be drawn gives a square PNG, read back by libpng; any other gives
// a failure and no file at all, quickly, so the generic icon shows.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/offscreen_render.h"
#include "cli/render_options.h"
#include "cli/thumbnail.h"
#include "cli/thumbnail_deadline.h"
#include "support/app_fixture.h"
#include "support/image_readers.h"
#include "support/program_child.h"

namespace {

using Arguments = std::vector<std::string>;

const std::string SQUARE_BLOCK =
    "square {\n.5 0 0 .5 0 0 .25\n.5 0 0 .5 .5 0 .25\n.5 0 0 .5 0 .5 .25\n.5 0 0 .5 .5 .5 .25\n}\n";

class Thumbnail : public FernFileTest {
 protected:
  // The program's status for `--thumbnail SIZE FILE OUT`.
  int thumbnail(int size, const std::string& file, const std::string& out) {
    return run({"--thumbnail", std::to_string(size), file, out});
  }
  int run(const Arguments& arguments) {
    ProgramChild child;
    child.arguments = arguments;
    child.errors = folder.file("errors.txt");
    const ChildEnd end = program_child_run(IFS_RENDER_PROGRAM, child);
    const Bytes said = read_file(child.errors);
    errors.assign(said.begin(), said.end());
    return end.exited ? end.code : 128 + end.signal;
  }
  std::string write_text(const std::string& name, const std::string& text) {
    const std::string path = folder.file(name);
    ::write_file(path, Bytes(text.begin(), text.end()));
    return path;
  }
  // The poster renderer's density picture with the thumbnail's settings.
  DecodedPng reference(int size, const std::string& file, const Arguments& more = {}) {
    const std::string side = std::to_string(size);
    Arguments arguments{"--output", folder.file("reference.png"), "--size", side + "x" + side, "--margin", "3",
                        "--shade", "density", "--points", std::to_string(thumbnail_points(size)), file};
    arguments.insert(arguments.end(), more.begin(), more.end());
    EXPECT_EQ(run(arguments), 0) << errors;
    return decode_png(folder.file("reference.png"));
  }

  std::string errors;
};

int lit_pixels(const DecodedPng& png) {
  int lit = 0;
  for (const Bytes& row : png.rows)
    for (std::size_t x = 0; x + 2 < row.size(); x += 3) lit += row[x] + row[x + 1] + row[x + 2] > 60 ? 1 : 0;
  return lit;
}

TEST_F(Thumbnail, TheFernIsASquarePngShadedByDensityOnBlack) {
  const std::string out = folder.file("fern-thumbnail");  // file managers' names need no extension
  ASSERT_EQ(thumbnail(64, fern, out), 0) << errors;
  EXPECT_EQ(errors, "");
  const DecodedPng png = decode_png(out);
  ASSERT_TRUE(png.ok);
  EXPECT_EQ(png.width, 64u);
  EXPECT_EQ(png.height, 64u);
  EXPECT_EQ(png.bit_depth, 8);
  for (const std::size_t y : {std::size_t{0}, std::size_t{63}})
    for (const std::size_t x : {std::size_t{0}, std::size_t{63 * 3}})
      EXPECT_EQ(png.rows[y][x] + png.rows[y][x + 1] + png.rows[y][x + 2], 0) << x / 3 << "," << y;
  // The fern covers a good share of the square, not a speck.
  EXPECT_GT(lit_pixels(png), 64 * 64 / 20);
  EXPECT_EQ(png.rows, reference(64, fern).rows);

  ASSERT_EQ(thumbnail(1, fern, folder.file("one.png")), 0) << errors;
  EXPECT_EQ(decode_png(folder.file("one.png")).width, 1u);
}

TEST_F(Thumbnail, ALibraryShowsItsFirstTableThatCanBeDrawnThreeDimensionalOrNot) {
  const std::string space = "space (3D) {\n.5 0 0 0 .5 0 0 0 .5 0 0 0 .25\n.5 0 0 0 .5 0 0 0 .5 1 0 0 .25\n"
                            ".5 0 0 0 .5 0 0 0 .5 0 .5 0 .25\n.5 .1 0 0 .5 0 .2 0 .4 0 0 .3 .25\n}\n";
  const std::string library = write_text("library.ifs", "broken {\n.5 0 0 .5 0 0\n}\n" + space + SQUARE_BLOCK);
  ASSERT_EQ(thumbnail(48, library, folder.file("library.png")), 0) << errors;
  const DecodedPng drawn = decode_png(folder.file("library.png"));
  EXPECT_EQ(drawn.rows, reference(48, library, {"--name", "space"}).rows);
  EXPECT_GT(lit_pixels(drawn), 48 * 48 / 40);

  const std::string nothing = write_text("nothing.ifs", "broken {\n.5 0 0 .5 0 0\n}\nspace (3D) {\n}\n");
  EXPECT_EQ(thumbnail(48, nothing, folder.file("nothing.png")), EXIT_LOAD_FAILED);
  EXPECT_NE(errors.find("\"broken\""), std::string::npos) << errors;
  EXPECT_FALSE(file_exists(folder.file("nothing.png")));
}

TEST_F(Thumbnail, WhatCannotBeDrawnEndsInAFailureAndNoFile) {
  std::string many;
  for (int i = 0; i < THUMBNAIL_MAX_MAPS + 1; ++i) many += ".5 0 0 .5 0 0 .0002\n";
  // A drawable table, then comments past the most a thumbnail reads.
  std::string padded = SQUARE_BLOCK;
  while (padded.size() <= THUMBNAIL_MAX_INPUT_BYTES) padded += "; padding padding padding padding\n";
  mkdir(folder.file("folder.ifs").c_str(), 0700);
  mkfifo(folder.file("fifo.ifs").c_str(), 0600);
  const std::vector<std::string> bad = {
      write_text("empty.ifs", ""),
      write_text("text.ifs", "a picture of a fern\n"),
      write_text("ended-blank.ifs", ".5 0 0 .5 0 0 1\n\n"),
      write_text("many-maps.ifs", many),
      write_text("large.ifs", padded),
      folder.file("missing.ifs"),
      folder.file("folder.ifs"),
      folder.file("fifo.ifs"),
  };
  for (const std::string& file : bad) {
    const auto started = std::chrono::steady_clock::now();
    const int code = thumbnail(32, file, folder.file("out.png"));
    EXPECT_NE(code, 0) << file;
    EXPECT_LT(code, 128) << file << ": ended by a signal, not by its own failure";
    EXPECT_FALSE(file_exists(folder.file("out.png"))) << file;
    EXPECT_NE(errors, "") << file;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(THUMBNAIL_DEADLINE_SECONDS)) << file;
  }
  EXPECT_NE(errors.find("not a regular file"), std::string::npos) << errors;

  // Just within the bounds, both are drawn.
  many.erase(0, many.find('\n') + 1);
  EXPECT_EQ(thumbnail(16, write_text("most-maps.ifs", many), folder.file("most-maps.png")), 0) << errors;
  padded.resize(THUMBNAIL_MAX_INPUT_BYTES);
  padded.back() = '\n';
  EXPECT_EQ(thumbnail(16, write_text("largest.ifs", padded), folder.file("largest.png")), 0) << errors;
}

TEST_F(Thumbnail, ItNeverWritesOverTheFileItReads) {
  EXPECT_EQ(thumbnail(16, fern, fern), EXIT_USAGE);
  EXPECT_EQ(read_file(fern), Bytes(FERN_TEXT.begin(), FERN_TEXT.end()));
}

TEST(ThumbnailOptions, TakeASizeTheFileAndThePictureAndNothingElse) {
  const RenderOptions options = render_options_parse({"--thumbnail", "128", "/in/f.ifs", "/out/t.png"});
  ASSERT_EQ(options.mode, MODE_THUMBNAIL) << options.error;
  EXPECT_EQ(options.thumbnail_size, 128);
  EXPECT_EQ(options.files, Arguments{"/in/f.ifs"});
  EXPECT_EQ(options.output, "/out/t.png");
  EXPECT_EQ(render_options_parse({"--thumbnail=1024", "f.ifs", "t"}).thumbnail_size, 1024);
  for (const Arguments& wrong :
       {Arguments{"--thumbnail", "0", "f.ifs", "t.png"}, Arguments{"--thumbnail", "1025", "f.ifs", "t.png"},
        Arguments{"--thumbnail", "12a", "f.ifs", "t.png"}, Arguments{"--thumbnail", "+12", "f.ifs", "t.png"},
        Arguments{"--thumbnail=", "f.ifs", "t.png"}, Arguments{"--thumbnail", "99999999999", "f.ifs", "t.png"},
        Arguments{"--thumbnail", "64", "f.ifs"}, Arguments{"--thumbnail", "64", "f.ifs", "t.png", "u.png"},
        Arguments{"--thumbnail", "64", "-", "t.png"}, Arguments{"--thumbnail", "64", "f.ifs", "-"},
        Arguments{"--thumbnail", "64", "-n", "2", "f.ifs", "t.png"},
        Arguments{"--thumbnail", "64", "--output", "x.png", "f.ifs"}, Arguments{"--thumbnail", "64"}}) {
    const RenderOptions refused = render_options_parse(wrong);
    EXPECT_EQ(refused.mode, MODE_USAGE_ERROR) << ::testing::PrintToString(wrong);
    EXPECT_NE(refused.error.find("--thumbnail"), std::string::npos) << refused.error;
  }
}

TEST(ThumbnailDeadlineTest, EndsTheProcessAsSigtermDoesUnlessDroppedInTime) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        const ThumbnailDeadline deadline(1);
        sleep(10);
        _exit(0);
      },
      ::testing::KilledBySignal(SIGTERM), "");
  EXPECT_EXIT(
      {
        { const ThumbnailDeadline deadline(1); }
        sleep(2);
        _exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
