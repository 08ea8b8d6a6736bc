#include "app/progressive_drawing.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/chaos_game.h"
#include "support/gui_pixels.h"
#include "support/gui_runtime.h"
#include "platform/backend/headless/headless.h"
#include "support/reference_chaos_game.h"
#include "runtime/core/random.h"
#include "runtime/graphics/canvas.h"
#include "runtime/graphics/canvas_output.h"
#include "runtime/gui/window.h"

namespace {

constexpr std::uint32_t WHITE = 0xFFFFFF;
constexpr std::uint32_t BLACK = 0x000000;
// The point colours by map index: red + green·256 + blue·65536.
constexpr std::uint32_t COLOUR_0 = 0xFFFFFF;
constexpr std::uint32_t COLOUR_1 = 0xFFBEFF;
constexpr std::uint32_t COLOUR_3 = 0xFFFFBE;

using MapRow = std::array<float, 7>;  // a, b, c, d, e, f, p

// The rows as an .ifs text whose numbers read back as the same floats.
std::string ifs_text_of(const std::vector<MapRow>& rows) {
  std::string text;
  for (const MapRow& row : rows) {
    for (std::size_t k = 0; k < row.size(); ++k) {
      char number[32];
      std::snprintf(number, sizeof number, "%.9g", static_cast<double>(row[k]));
      text += number;
      text += k + 1 < row.size() ? " " : "\n";
    }
  }
  return text;
}

// Pixels of the picture that differ from the independent computation.
int differing_pixels(const DibView& view, const ReferencePicture& expected) {
  int differing = 0;
  for (int y = 0; y < expected.height; ++y)
    for (int x = 0; x < expected.width; ++x) differing += dib_pixel(view, x, y) != expected.at(x, y);
  return differing;
}

// Fields read as the independent computation reads them.
std::vector<MapRow> rows_of(const std::string& text) {
  std::vector<MapRow> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    MapRow row{};
    std::istringstream fields(line);
    std::size_t k = 0;
    for (std::string field; k < row.size() && std::getline(fields, field, ' '); ++k)
      row[k] = std::strtof(field.c_str(), nullptr);
    rows.push_back(row);
  }
  return rows;
}

struct NamedTable {
  std::string name;
  std::string text;
};

std::vector<NamedTable> example_tables() {
  std::vector<NamedTable> tables;
  for (const auto& entry : std::filesystem::directory_iterator(IFS_SOURCE_DIR "/examples")) {
    if (entry.path().extension() != ".ifs") continue;
    std::ifstream stream(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    tables.push_back({entry.path().filename().string(), text.str()});
  }
  return tables;
}

// Maps that each halve the distance to their own point on a circle, with the
// given weights: the picture shows which maps were chosen how often.
NamedTable circle_table(const std::string& name, const std::vector<float>& weights) {
  std::vector<MapRow> rows;
  const double count = static_cast<double>(weights.size());
  for (std::size_t map = 0; map < weights.size(); ++map) {
    const double angle = 6.283185307179586 * static_cast<double>(map) / count;
    rows.push_back({0.5f, 0.0f, 0.0f, 0.5f, static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle)),
                    weights[map]});
  }
  return {name, ifs_text_of(rows)};
}

std::vector<NamedTable> hostile_tables() {
  constexpr float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();
  constexpr float INFINITE = std::numeric_limits<float>::infinity();
  std::vector<float> thousands(3000);
  const float pool[] = {0.0f, -0.0003f, 0.0005f, 0.001f, -0.002f, 0.0001f, 0.003f};
  for (std::size_t map = 0; map < thousands.size(); ++map) thousands[map] = pool[(map * 7919) % 7];
  return {
      circle_table("zero and negative weights", {0.0f, -0.5f, 0.7f, 0.0f, 0.9f, -0.3f, 0.4f}),
      circle_table("a NaN weight", {0.2f, 0.3f, NOT_A_NUMBER, 0.5f}),
      circle_table("huge weights", {0.3f, 1e30f, -1e30f, 0.7f}),
      circle_table("infinite weights", {0.25f, INFINITE, -INFINITE, 0.75f}),
      circle_table("weights summing to 0.5", {0.125f, 0.25f, 0.125f}),
      circle_table("4096 equal weights", std::vector<float>(4096, 1.0f / 4096.0f)),
      circle_table("3000 small weights that rise and fall", thousands),
  };
}

int pixels_of_colour(const ReferencePicture& picture, std::uint32_t colour) {
  return static_cast<int>(std::count(picture.pixels.begin(), picture.pixels.end(), colour));
}

class ProgressiveDrawingTest : public GuiRuntimeTest {
 protected:
  void SetUp() override {
    GuiRuntimeTest::SetUp();
    window = reinterpret_cast<HWND>(window_open(0, 0, 0, 600, 600, u"IFS", 0xCA0001, nullptr));
    ASSERT_NE(window, nullptr);
    ASSERT_NE(canvas_create(APP_CANVAS, 0, 0, 600, 600), 0);
    app_state_reset();
    random_seed(1234);
  }

  DibView picture() {
    return dib_view(reinterpret_cast<HBITMAP>(gadget_attribute_get(APP_CANVAS, CANVAS_BACK_BUFFER)));
  }

  std::vector<BYTE> picture_bytes() {
    const DibView view = picture();
    return std::vector<BYTE>(view.bits, view.bits + static_cast<std::size_t>(view.row_bytes) * view.height);
  }

  // Plots one point at the given view transform with the point at the origin.
  void plot_at(float offset_x, float offset_y, std::int32_t map_index) {
    RenderState& render = app_state().render;
    render = RenderState{0.0f, 0.0f, 1.0f, 1.0f, offset_x, offset_y};
    ASSERT_NE(drawing_begin(canvas_output(APP_CANVAS)), 0);
    plot_point(map_index);
    drawing_end();
  }

  // The application's order after a measurement: the point back at the origin,
  // the canvas black.
  void measure_and_clear() {
    measure_bounds();
    app_state().render.x = 0.0f;
    app_state().render.y = 0.0f;
    clear_canvas();
  }

  void load_table(const std::vector<MapRow>& rows) {
    IfsTable& table = app_state().table;
    ASSERT_TRUE(ifs_table_resize(table, static_cast<std::int32_t>(rows.size())));
    for (std::size_t map = 0; map < rows.size(); ++map)
      for (int parameter = IFS_A; parameter <= IFS_P; ++parameter)
        ifs_set(table, parameter, static_cast<std::int32_t>(map), rows[map][static_cast<std::size_t>(parameter)]);
  }

  // A table of maps that all send every point to the origin.
  void load_origin_table(std::int32_t maps) {
    IfsTable& table = app_state().table;
    ASSERT_TRUE(ifs_table_resize(table, maps));
    for (std::int32_t map = 0; map < maps; ++map) {
      for (int parameter = IFS_A; parameter <= IFS_F; ++parameter) ifs_set(table, parameter, map, 0.0f);
      ifs_set(table, IFS_P, map, 1.0f / static_cast<float>(maps));
    }
  }

  HWND window = nullptr;
};

TEST_F(ProgressiveDrawingTest, APointIsTwoPixelsWideInItsMapsColour) {
  plot_at(10.5f, 20.25f, 3);
  const DibView view = picture();
  EXPECT_EQ(dib_pixel(view, 10, 20), COLOUR_3);
  EXPECT_EQ(dib_pixel(view, 11, 20), COLOUR_3);
  EXPECT_EQ(dib_pixel(view, 9, 20), WHITE);
  EXPECT_EQ(dib_pixel(view, 12, 20), WHITE);
  EXPECT_EQ(dib_pixel(view, 10, 19), WHITE);
  EXPECT_EQ(dib_pixel(view, 10, 21), WHITE);
}

TEST_F(ProgressiveDrawingTest, MapIndicesFromEightOnReuseTheColours) {
  plot_at(100.0f, 100.0f, 11);
  EXPECT_EQ(dib_pixel(picture(), 100, 100), COLOUR_3);
  plot_at(200.0f, 100.0f, 8);
  EXPECT_EQ(dib_pixel(picture(), 200, 100), COLOUR_0);
  plot_at(300.0f, 100.0f, 9);
  EXPECT_EQ(dib_pixel(picture(), 300, 100), COLOUR_1);
}

TEST_F(ProgressiveDrawingTest, BetweenMinusOneAndZeroBothPixelsLandInColumnZero) {
  plot_at(-0.5f, 50.0f, 1);
  const DibView view = picture();
  EXPECT_EQ(dib_pixel(view, 0, 50), COLOUR_1);
  EXPECT_EQ(dib_pixel(view, 1, 50), WHITE);
}

TEST_F(ProgressiveDrawingTest, ClearingPaintsTheWholeCanvasBlackAndShowsIt) {
  clear_canvas();
  const std::vector<BYTE> bytes = picture_bytes();
  EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](BYTE byte) { return byte == 0; }));
  EXPECT_EQ(headless_surface_pixel(window, 0, 0), BLACK);
  EXPECT_EQ(headless_surface_pixel(window, 599, 599), BLACK);
}

TEST_F(ProgressiveDrawingTest, AnAllOriginTableDrawsAtColumns300And301OfRow300) {
  load_origin_table(2);
  measure_bounds();
  const RenderState& render = app_state().render;
  ASSERT_EQ(render.scale_x, 1.0f);
  ASSERT_EQ(render.offset_x, 300.0f);
  ASSERT_EQ(render.offset_y, 300.0f);
  clear_canvas();
  draw_batch();
  const DibView view = picture();
  const std::uint32_t left = dib_pixel(view, 300, 300);
  EXPECT_NE(left, BLACK);
  EXPECT_EQ(dib_pixel(view, 301, 300), left);
  int lit = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 600; ++x) lit += dib_pixel(view, x, y) != BLACK;
  EXPECT_EQ(lit, 2);
  EXPECT_EQ(headless_surface_pixel(window, 300, 300), left) << "the batch is shown when it ends";
}

TEST_F(ProgressiveDrawingTest, ABatchOfTheBuiltInTableDrawsWhatAnIndependentComputationDraws) {
  measure_and_clear();
  const int presented_before = headless_present_count(window);
  draw_batch();
  EXPECT_EQ(headless_present_count(window), presented_before + 1) << "shown once per batch, not per point";
  const ReferencePicture expected = reference_render_alone("", 1);
  EXPECT_EQ(differing_pixels(picture(), expected), 0);
  EXPECT_LT(pixels_of_colour(expected, BLACK), 600 * 600) << "the batch drew something";
  int shown_differently = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 600; ++x) shown_differently += headless_surface_pixel(window, x, y) != expected.at(x, y);
  EXPECT_EQ(shown_differently, 0) << "the window shows the canvas once the session ends";
}

TEST_F(ProgressiveDrawingTest, StepsWithoutAMapAreDrawnInColourZeroAtTheUnmovedPoint) {
  // Weights add up to 0.5: every r above 0.5 moves nothing. Map 0 (weight 0)
  // is only chosen at r = 0.00, so most colour-0 pixels come from unmoved steps.
  const std::vector<MapRow> rows{{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
                                 {0.5f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.125f},
                                 {0.5f, 0.0f, 0.0f, 0.5f, 0.5f, 0.0f, 0.125f},
                                 {0.5f, 0.0f, 0.0f, 0.5f, 0.25f, 0.5f, 0.25f}};
  load_table(rows);
  measure_and_clear();
  draw_batch();
  const ReferencePicture expected = reference_render_alone(ifs_text_of(rows), 1);
  EXPECT_EQ(differing_pixels(picture(), expected), 0);
  EXPECT_GT(pixels_of_colour(expected, COLOUR_0), 0);
  EXPECT_GT(pixels_of_colour(expected, COLOUR_1), 0);
}

TEST_F(ProgressiveDrawingTest, ExamplesAndHostileTablesDrawWhatAPlainScanOfTheWeightsDraws) {
  std::vector<NamedTable> tables = example_tables();
  EXPECT_GE(tables.size(), 6u);
  for (NamedTable& table : hostile_tables()) tables.push_back(std::move(table));
  for (const NamedTable& table : tables) {
    app_state_reset();
    random_seed(1234);
    load_table(rows_of(table.text));
    measure_and_clear();
    draw_batch();
    draw_batch();
    const ReferencePicture expected = reference_render_alone(table.text, 2);
    EXPECT_EQ(differing_pixels(picture(), expected), 0) << table.name;
    EXPECT_LT(pixels_of_colour(expected, BLACK), 600 * 600) << table.name << " draws something";
  }
}

TEST_F(ProgressiveDrawingTest, ABatchTakes20001StepsAndTheNextContinuesFromThere) {
  measure_bounds();
  const RenderState start = app_state().render;
  draw_batch();
  const RenderState after_batch = app_state().render;
  const std::int32_t next_after_batch = random_next(-1);

  // The same number of steps taken directly, from the same state.
  app_state_reset();
  random_seed(1234);
  measure_bounds();
  ASSERT_EQ(app_state().render.x, start.x);
  for (std::int32_t step = 0; step < BATCH_POINTS; ++step) chaos_step();
  EXPECT_EQ(app_state().render.x, after_batch.x);
  EXPECT_EQ(app_state().render.y, after_batch.y);
  EXPECT_EQ(random_next(-1), next_after_batch);
}

TEST_F(ProgressiveDrawingTest, TheSameSeedDrawsTheSamePixels) {
  measure_bounds();
  clear_canvas();
  draw_batch();
  draw_batch();
  const std::vector<BYTE> first = picture_bytes();

  app_state_reset();
  random_seed(1234);
  measure_bounds();
  clear_canvas();
  draw_batch();
  draw_batch();
  EXPECT_TRUE(picture_bytes() == first);
  EXPECT_FALSE(std::all_of(first.begin(), first.end(), [](BYTE byte) { return byte == 0; }));
}

TEST_F(ProgressiveDrawingTest, WithoutASessionNothingMovesAndNoRandomNumberIsUsed) {
  measure_bounds();
  gadget_free(APP_CANVAS);
  const RenderState before = app_state().render;
  draw_batch();
  clear_canvas();
  EXPECT_EQ(app_state().render.x, before.x);
  EXPECT_EQ(app_state().render.y, before.y);
  const std::int32_t next = random_next(-1);

  app_state_reset();
  random_seed(1234);
  measure_bounds();
  EXPECT_EQ(random_next(-1), next);
}

}  // namespace
