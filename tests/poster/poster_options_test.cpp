// The picture options on the command line: what each sets, when they choose
// the poster renderer, and the values and combinations refused with exit 64.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/offscreen_render.h"
#include "cli/render_options.h"
#include "poster/remake_command.h"
#include "poster_run.h"

namespace {

using Arguments = std::vector<std::string>;

RenderOptions parse_with(const Arguments& extra, const std::string& output = "x.png") {
  Arguments arguments{"--output", output, "f.ifs"};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  return render_options_parse(arguments);
}

TEST(PosterOptions, EachOptionSetsItsSettingInEitherForm) {
  const RenderOptions options = parse_with({"--size", "1920x1080", "--margin=4.5", "--points", "1000",
                                            "--seed=4294967295", "--background", "#0a0B0c", "--shade=density",
                                            "--gamma", "3", "--palette", "ff0000,#00ff00", "--supersample", "3",
                                            "--threads=7", "--depth", "16"});
  ASSERT_EQ(options.mode, MODE_RENDER) << options.error;
  const PosterSettings& q = options.poster;
  EXPECT_TRUE(q.selected);
  EXPECT_EQ(q.width, 1920);
  EXPECT_EQ(q.height, 1080);
  EXPECT_EQ(q.margin_percent, 4.5);
  EXPECT_EQ(q.points, 1000);
  EXPECT_EQ(q.seed, 4294967295u);
  EXPECT_EQ(q.background, 0x0C0B0Au);  // 0xBBGGRR
  EXPECT_EQ(q.shade, SHADE_DENSITY);
  EXPECT_EQ(q.gamma, 3.0);
  EXPECT_EQ(q.palette, (std::vector<std::uint32_t>{0x0000FF, 0x00FF00}));
  EXPECT_EQ(q.supersample, 3);
  EXPECT_EQ(q.threads, 7);
  EXPECT_EQ(q.depth, 16);
  EXPECT_EQ(poster_settings_text(q),
            "--size 1920x1080 --margin 4.5 --points 1000 --seed 4294967295 --background #0A0B0C --shade density "
            "--gamma 3 --palette #FF0000,#00FF00 --supersample 3 --depth 16");
}

TEST(PosterOptions, ASizeReadsAlikeWithAnUpperCaseCross) {
  const PosterSettings upper = parse_with({"--size", "1920X1080"}).poster;
  EXPECT_EQ(upper.width, 1920);
  EXPECT_EQ(upper.height, 1080);
  EXPECT_EQ(poster_settings_text(upper), poster_settings_text(parse_with({"--size=1920x1080"}).poster));
  EXPECT_EQ(parse_with({"--size", "10Xx10"}).mode, MODE_USAGE_ERROR);
}

// The picture's Comment text is meant to make the same picture again: the
// margin and gamma a user typed come back with all their digits, in a form
// the options accept (a short form would round them or need an exponent).
TEST(PosterOptions, TheSettingsTextGivesBackMarginAndGammaAsTyped) {
  const std::vector<std::pair<std::string, std::string>> typed = {
      {"6.1035156", "2.123456789"}, {"0.000000001", "0.1"}, {"48.999999999", "9.999999999"}, {"0", "10"}};
  for (const auto& [margin, gamma] : typed) {
    const RenderOptions options = parse_with({"--margin", margin, "--shade", "density", "--gamma", gamma});
    ASSERT_EQ(options.mode, MODE_RENDER) << options.error;
    const std::string text = poster_settings_text(options.poster);
    const std::string words = " " + text + " ";
    if (margin != "0") {
      EXPECT_NE(words.find(" --margin " + margin + " "), std::string::npos) << text;
    }
    EXPECT_NE(words.find(" --gamma " + gamma + " "), std::string::npos) << text;
    Arguments again;
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
      end = std::min(text.find(' ', start), text.size());
      again.push_back(text.substr(start, end - start));
    }
    const RenderOptions read_again = parse_with(again);
    ASSERT_EQ(read_again.mode, MODE_RENDER) << read_again.error;
    EXPECT_EQ(read_again.poster.margin_percent, options.poster.margin_percent) << margin;
    EXPECT_EQ(read_again.poster.gamma, options.poster.gamma) << gamma;
  }
}

TEST(PosterOptions, OnlyOptionsThatChangeThePictureLeaveTheDesktopPipeline) {
  EXPECT_FALSE(parse_with({}).poster.selected);
  EXPECT_FALSE(parse_with({"--shade", "flat", "--threads", "2", "--size", "600x600", "--margin", "0", "--seed", "1234",
                           "--background", "#000000", "--supersample", "1", "--depth", "8", "--palette",
                           "#FFFFFF,#FFBEFF,#FFFFBE,#BEFFFF,#FFBEBE,#BEFFBE,#BEBEFF,#BED2FF"})
                   .poster.selected);
  const std::vector<Arguments> changes = {
      {"--shade", "density"}, {"--size", "600x601"}, {"--margin", "0.5"},       {"--points", "200010"},
      {"--seed", "1235"},     {"--background", "#000001"}, {"--palette", "#FFFFFF"}, {"--supersample", "2"},
      {"--depth", "16"},
  };
  for (const Arguments& change : changes) EXPECT_TRUE(parse_with(change).poster.selected) << change.front();

  // Points: --points, else 20001 per batch, else 20 per pixel and never fewer
  // than the default render's ten batches.
  EXPECT_EQ(parse_with({"--size", "10x10"}).poster.points, 200010);
  EXPECT_EQ(parse_with({"--size", "1000x500"}).poster.points, 10000000);
  EXPECT_EQ(parse_with({"--size", "1000x500", "--batches", "3"}).poster.points, 60003);
  EXPECT_EQ(parse_with({"--points", "0", "--shade", "density"}).poster.points, 0);
  // The eight point colours unless a palette is given.
  EXPECT_EQ(parse_with({"--shade", "density"}).poster.palette.size(), 8u);
}

TEST(PosterOptions, BadValuesAndCombinationsAreUsageErrorsNamingTheOption) {
  const std::vector<std::pair<Arguments, std::string>> cases = {
      {{"--size", "0x10"}, "--size"},
      {{"--size", "16385x10"}, "--size"},
      {{"--size", "10"}, "--size"},
      {{"--size", "10x-1"}, "--size"},
      {{"--margin", "50"}, "--margin"},
      {{"--margin", "-1"}, "--margin"},
      {{"--margin", "1e1"}, "--margin"},
      {{"--points", "1000000000001"}, "--points"},
      {{"--points", "12k"}, "--points"},
      {{"--seed", "4294967296"}, "--seed"},
      {{"--background", "#12345"}, "--background"},
      {{"--background", "red"}, "--background"},
      {{"--shade", "smooth"}, "--shade"},
      {{"--shade", "density", "--gamma", "0"}, "--gamma"},
      {{"--shade", "density", "--gamma", "nan"}, "--gamma"},
      {{"--shade", "density", "--gamma", "10.5"}, "--gamma"},
      {{"--palette", "#ff0000,"}, "--palette"},
      {{"--palette", ""}, "--palette"},
      {{"--supersample", "9"}, "--supersample"},
      {{"--supersample", "0"}, "--supersample"},
      {{"--threads", "0"}, "--threads"},
      {{"--depth", "12"}, "--depth"},
      {{"--seed", "1", "--seed", "2"}, "--seed may be given only once"},
      {{"--size"}, "--size needs a value"},
      {{"--gamma", "2"}, "--gamma only applies with --shade density"},
      {{"--points", "5", "--batches", "2"}, "--points or --batches"},
      {{"--size", "8192x8192", "--supersample", "3"}, "16384 x 16384 samples"},
  };
  for (const auto& [arguments, named] : cases) {
    const RenderOptions options = parse_with(arguments);
    EXPECT_EQ(options.mode, MODE_USAGE_ERROR) << arguments.front();
    EXPECT_NE(options.error.find(named), std::string::npos) << options.error;
  }
  std::string palette = "#000000";
  for (int i = 1; i < 257; ++i) palette += ",#000000";
  EXPECT_NE(parse_with({"--palette", palette}).error.find("--palette"), std::string::npos);
  EXPECT_EQ(parse_with({"--depth", "16"}, "x.bmp").error, "--depth 16 needs a .png output");
  EXPECT_EQ(render_options_parse({"f.ifs", "--size", "10x10"}).error,
            "the picture options only apply with --output");
  EXPECT_EQ(parse_with({"--size", "16384x16384"}).mode, MODE_RENDER);
}

class PosterProgram : public PosterTest {};

TEST_F(PosterProgram, DefaultPictureStaysTheDesktopProgramsWithNeutralOptions) {
  const std::string fern = "0 0 0 0.16 0 0 0.01\n0.85 0.04 -0.04 0.85 0 1.6 0.85\n";
  ASSERT_EQ(render(fern, "plain.png", {"--batches", "2"}).code, 0);
  ASSERT_EQ(render(fern, "flat.png", {"--batches", "2", "--shade", "flat", "--threads", "2"}).code, 0);
  EXPECT_EQ(read_file(path("plain.png")), read_file(path("flat.png")));
  ASSERT_EQ(render(fern, "defaults.png", {"--batches", "2", "--seed", "1234", "--size", "600x600"}).code, 0);
  EXPECT_EQ(read_file(path("plain.png")), read_file(path("defaults.png")));
  ASSERT_EQ(render(fern, "seeded.png", {"--batches", "2", "--seed", "1235"}).code, 0);
  EXPECT_NE(read_file(path("plain.png")), read_file(path("seeded.png")));
}

TEST_F(PosterProgram, FailuresKeepTheProgramsExitCodes) {
  const PosterRun bad = render("1 2 3\n", "bad.png", {"--shade", "density"});
  EXPECT_EQ(bad.code, 2);
  EXPECT_FALSE(file_exists(path("bad.png")));
  const PosterRun unwritable = render("0 0 0 0 0 0 1\n", "missing/x.png", {"--shade", "density"});
  EXPECT_EQ(unwritable.code, 1);
  EXPECT_NE(unwritable.errors.find("cannot save the picture to"), std::string::npos) << unwritable.errors;
  const PosterRun usage = render("0 0 0 0 0 0 1\n", "x.png", {"--supersample", "9"});
  EXPECT_EQ(usage.code, 64);
  EXPECT_NE(usage.errors.find("--supersample takes a whole number from 1 to 8"), std::string::npos);
}

}  // namespace
