// 3-D tables drawn as the projection of their attractor on the x-y plane,
// through the same map choice and view fitting as the 2-D ones: the canvas
// against a chaos game worked out here in space, turned or not, and a flat
// table in space against the same table in the plane.
#include <string>

#include "app/app_state.h"
#include "app/loader.h"
#include "app/shell.h"
#include "support/app_fixture.h"
#include "support/reference_chaos_game.h"

namespace {

// A fern that grows out of the plane: the second map tilts it about the x axis.
const std::string SPACE_FERN_MAPS =
    "0 0 0 0 .18 0 0 0 0 0 0 0 .01\n"
    ".85 0 0 0 .85 .1 0 -.1 .85 0 1.6 0 .85\n"
    ".2 -.2 0 .2 .2 0 0 0 .3 0 .8 0 .07\n"
    "-.2 .2 0 .2 .2 0 0 0 .3 0 .8 0 .07\n";

std::string space_library(const std::string& maps) { return "; drawn from space\nspace (3D) {\n" + maps + "}\n"; }

int differing_pixels(const std::vector<std::uint32_t>& picture, const ReferencePicture& reference) {
  if (picture.size() != reference.pixels.size()) return -1;
  int differing = 0;
  for (std::size_t index = 0; index < picture.size(); ++index) differing += picture[index] != reference.pixels[index];
  return differing;
}

int lit(const ReferencePicture& reference) {
  int count = 0;
  for (const std::uint32_t pixel : reference.pixels) count += pixel != 0;
  return count;
}

using SpaceTables = AppTest;

TEST_F(SpaceTables, ALibraryOpeningOnA3DTableDrawsItsProjectionAsWorkedOutInSpace) {
  start(write_file("space.ifs", space_library(SPACE_FERN_MAPS)));
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(headless_window_state(window()).title, u"IFS render by Tarnwick - space");
  EXPECT_EQ(app_state().table.map_count, 4);
  ASSERT_TRUE(tick());
  ASSERT_TRUE(tick());
  const ReferencePicture expected = reference_render_space(SPACE_FERN_MAPS, false, 2);
  EXPECT_GT(lit(expected), 5000);
  EXPECT_EQ(lit_pixels(), lit(expected));
  EXPECT_EQ(differing_pixels(canvas_pixels(), expected), 0);
}

TEST_F(SpaceTables, AQuarterTurnOfYawShowsTheAttractorFromTheSide) {
  const std::string library = write_file("space.ifs", space_library(SPACE_FERN_MAPS));
  LoadRequest request{to_utf16(library), {}, {}};
  request.rotation_degrees = {90, 0, 0};
  ASSERT_TRUE(shell_start_with_request(request));
  ASSERT_TRUE(tick());
  const ReferencePicture side = reference_render_space(SPACE_FERN_MAPS, true, 1);
  EXPECT_EQ(lit_pixels(), lit(side));
  EXPECT_EQ(differing_pixels(canvas_pixels(), side), 0);
  EXPECT_NE(differing_pixels(canvas_pixels(), reference_render_space(SPACE_FERN_MAPS, false, 1)), 0);

  // Any other turn keeps the picture undistorted and on the canvas.
  request.rotation_degrees = {30, -20, 10};
  shell_load(request);
  ASSERT_TRUE(tick());
  EXPECT_GT(lit_pixels(), 5000);
  EXPECT_TRUE(messages().empty());
}

TEST_F(SpaceTables, AFlatTableInSpaceDrawsWhatTheSameTableDrawsInThePlane) {
  // The fern's maps, z untouched at 0.
  const std::string flat = "0 0 0 0 0.16 0 0 0 0 0 0 0 0.01\n0.85 0.04 0 -0.04 0.85 0 0 0 0 0 1.6 0 0.85\n"
                           "0.2 -0.26 0 0.23 0.22 0 0 0 0 0 1.6 0 0.07\n-0.15 0.28 0 0.26 0.24 0 0 0 0 0 0.44 0 0.07\n";
  start(write_file("flat.ifs", space_library(flat)));
  ASSERT_TRUE(tick());
  EXPECT_EQ(differing_pixels(canvas_pixels(), reference_render(FERN_TEXT, 1)), 0);

  // A 2-D table loaded after it is drawn in the plane again.
  shell_load(LoadRequest{to_utf16(write_file("fern.ifs", FERN_TEXT)), {}, {}});
  EXPECT_FALSE(app_state().space.active);
  ASSERT_TRUE(tick());
  EXPECT_GT(lit_pixels(), 10000);
}

}  // namespace
