// The whole program driven as a user would over the headless display: files
// on the command line, ticks of the drawing timer, keys, the menu, the close
// box, and the command-line renderer, checked against an independent
// computation of the picture and against independent PNG and BMP readers.
#include <cstdio>
#include <filesystem>

#include "app/app_state.h"
#include "cli/offscreen_render.h"
#include "app/shell.h"
#include "support/app_fixture.h"
#include "platform/backend/headless/headless_state.h"
#include "platform/win32/kernel32.h"
#include "platform/win32/process_arguments.h"
#include "platform/win32/user32.h"
#include "support/reference_chaos_game.h"
#include "runtime/core/startup.h"
#include "runtime/file/file.h"
#include "runtime/graphics/drawing_session.h"
#include "runtime/graphics/image.h"
#include "platform/win32/gdi32.h"
#include "runtime/graphics/encoder_table.h"
#include "runtime/gui/window.h"

namespace {

std::vector<std::uint32_t> png_pixels(const std::string& path) {
  const DecodedPng png = decode_png(path);
  std::vector<std::uint32_t> pixels;
  if (!png.ok || png.colour_type != 2 || png.bit_depth != 8) return pixels;
  for (const Bytes& row : png.rows)
    for (std::uint32_t x = 0; x < png.width; ++x)
      pixels.push_back(row[3 * x] | (row[3 * x + 1] << 8) | (static_cast<std::uint32_t>(row[3 * x + 2]) << 16));
  return pixels;
}

int render(const std::string& ifs, const std::string& output, int batches) {
  RenderOptions options;
  options.mode = MODE_RENDER;
  options.output = output;
  options.format = render_format_for(output);
  options.files = {ifs};
  options.batches = batches;
  return command_line_render(options, stderr, false);
}

int differing_pixels(const std::vector<std::uint32_t>& picture, const ReferencePicture& reference) {
  if (picture.size() != reference.pixels.size()) return -1;
  int differing = 0;
  for (std::size_t index = 0; index < picture.size(); ++index) differing += picture[index] != reference.pixels[index];
  return differing;
}

using EndToEnd = AppTest;

TEST_F(EndToEnd, AFileOnTheCommandLineIsDrawnFromTheFirstTickAsTheChaosGameRulesSay) {
  const std::string fern = write_file("fern.ifs", FERN_TEXT);
  start(fern);
  EXPECT_EQ(lit_pixels(), 0);
  ASSERT_TRUE(tick());
  const ReferencePicture expected = reference_render(FERN_TEXT, 1);
  EXPECT_EQ(differing_pixels(canvas_pixels(), expected), 0);
  EXPECT_GT(lit_pixels(), 10000);
}

TEST_F(EndToEnd, AQuotedPathWithSpacesLoads) {
  ASSERT_EQ(mkdir_all("my ifs files"), 0);
  const std::string fern = write_file("my ifs files/fern leaf.ifs", FERN_TEXT);
  start(fern);
  // The platform's command line holds the path in double quotes.
  EXPECT_NE(std::u16string(GetCommandLineW()).find(u"\"" + to_utf16(fern) + u"\""), std::u16string::npos);
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(app_state().table.map_count, 4);
  ASSERT_TRUE(tick());
  EXPECT_GT(lit_pixels(), 10000);
}

TEST_F(EndToEnd, EscapeHeldEndsTheProgramAtTheNextEvent) {
  start(write_file("fern.ifs", FERN_TEXT));
  headless_script_close_box(headless_now() + 100000, window());  // a way out should Escape be missed
  headless_key(window(), VK_ESCAPE, TRUE);
  shell_event_loop();
  // Its own key message was the next event: no batch was drawn before the end.
  EXPECT_EQ(lit_pixels(), 0);
  EXPECT_LT(headless_now(), HEADLESS_CLOCK_START + 1500);
  started = false;
  EXPECT_EQ(program_end(), 0);
}

TEST_F(EndToEnd, ATappedEscapeDoesNotEndTheProgram) {
  start(write_file("origin.ifs", ORIGIN_TEXT));
  // Pressed and released on the main window before the loop sees its key messages: Escape is up
  // whenever the loop looks, so only the close box ends the run, after two ticks.
  headless_script_key_press(headless_now() + 100, window(), VK_ESCAPE, 0);
  headless_script_close_box(headless_now() + 2 * 1500 + 100, window());
  shell_event_loop();
  EXPECT_EQ(lit_pixels(), 2);
  EXPECT_EQ(headless_now(), HEADLESS_CLOCK_START + 2 * 1500 + 100);
  started = false;
  EXPECT_EQ(program_end(), 0);
}

// While the file dialog is open a timer presses Escape, as a user closing it does.
HWND escape_window = nullptr;
void press_escape(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  headless_key(escape_window, VK_ESCAPE, TRUE);
}

TEST_F(EndToEnd, EscapeThatClosedADialogDoesNotEndTheProgramButEscapeOnTheWindowDoes) {
  start(write_file("fern.ifs", FERN_TEXT));
  escape_window = window();
  headless_cancel_file_dialog(100);
  SetTimer(nullptr, 0, 10, press_escape);
  headless_key_press(window(), 'O', HEADLESS_CONTROL);
  EXPECT_TRUE(handle_waiting());
  ASSERT_TRUE(headless_key_is_down(VK_ESCAPE));
  EXPECT_TRUE(pass_time(1500));  // still held, yet the program goes on drawing
  EXPECT_GT(lit_pixels(), 0);
  headless_key(window(), VK_ESCAPE, FALSE);
  EXPECT_TRUE(handle_waiting());
  headless_key(window(), VK_ESCAPE, TRUE);  // a new press, on the main window
  EXPECT_FALSE(handle_waiting());
}

TEST_F(EndToEnd, QuitEndsTheProgramAtOnce) {
  start(write_file("fern.ifs", FERN_TEXT));
  headless_script_close_box(headless_now() + 100000, window());
  headless_answer_file_dialog(u"/nowhere.ifs", 1);
  ASSERT_TRUE(headless_choose_menu(window(), 2));
  headless_key_press(window(), 'O', HEADLESS_CONTROL);
  shell_event_loop();
  // Ctrl+O, which came after Quit, was never handled.
  EXPECT_TRUE(file_dialogs().empty());
  EXPECT_EQ(lit_pixels(), 0);
  started = false;
  EXPECT_EQ(program_end(), 0);
}

TEST_F(EndToEnd, TheCloseBoxEndsTheProgramAfterTheTicksBeforeIt) {
  start(write_file("origin.ifs", ORIGIN_TEXT));
  headless_script_close_box(headless_now() + 2 * 1500 + 100, window());
  shell_event_loop();
  EXPECT_EQ(lit_pixels(), 2);
  EXPECT_EQ(headless_now(), HEADLESS_CLOCK_START + 2 * 1500 + 100);
  started = false;
  EXPECT_EQ(program_end(), 0);
}

TEST_F(EndToEnd, TheSavedPictureIsTheCanvasAfterTheLastCompletedBatch) {
  start(write_file("fern.ifs", FERN_TEXT));
  ASSERT_TRUE(tick());
  ASSERT_TRUE(tick());
  const std::vector<std::uint32_t> after_two = canvas_pixels();
  // The requester stays open past the next tick: that batch waits until it closes.
  headless_answer_file_dialog(to_utf16(folder.file("fern")).c_str(), 1, 1600);
  headless_key_press(window(), 'S', HEADLESS_CONTROL);
  ASSERT_TRUE(handle_waiting());
  EXPECT_EQ(png_pixels(folder.file("fern.png")), after_two);
  EXPECT_EQ(differing_pixels(after_two, reference_render(FERN_TEXT, 2)), 0);
  EXPECT_NE(canvas_pixels(), after_two);  // the waiting batch was drawn afterwards

  // The BMP holds the same picture, bottom line first, as B, G, R.
  headless_answer_file_dialog(to_utf16(folder.file("fern")).c_str(), 2);
  headless_key_press(window(), 'S', HEADLESS_CONTROL);
  ASSERT_TRUE(handle_waiting());
  const std::vector<std::uint32_t> now = canvas_pixels();
  const Bytes bmp = read_file(folder.file("fern.bmp"));
  ASSERT_EQ(bmp.size(), 54u + 600u * 1800u);
  const std::size_t data = read_le32(bmp, 10);
  int differing = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 600; ++x) {
      const std::uint8_t* pixel = bmp.data() + data + static_cast<std::size_t>(599 - y) * 1800 + 3 * x;
      const std::uint32_t colour = pixel[2] | (pixel[1] << 8) | (static_cast<std::uint32_t>(pixel[0]) << 16);
      differing += colour != now[static_cast<std::size_t>(y) * 600 + x];
    }
  EXPECT_EQ(differing, 0);
}

int open_descriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

TEST(ProgramEnd, ShutDownClosesFilesLeftOpenAndFreesImagesLeftAlive) {
  ScratchFolder folder;
  const std::string path = folder.file("fern.ifs");
  write_file(path, Bytes(FERN_TEXT.begin(), FERN_TEXT.end()));
  headless_reset();
  const int descriptors_before = open_descriptors();
  ASSERT_TRUE(program_begin());
  EXPECT_NE(drawing_library_slot(), static_cast<DWORD>(TLS_OUT_OF_INDEXES));
  ASSERT_NE(file_open_read(3, to_utf16(path).c_str()), 0);
  const auto image = reinterpret_cast<HGDIOBJ>(image_create(2, 16, 16));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(GetObjectType(image), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_EQ(program_end(), 0);
  EXPECT_EQ(open_descriptors(), descriptors_before);
  EXPECT_EQ(GetObjectType(image), 0u);
  headless_reset();
}

// --- The command-line renderer -------------------------------------------------

class Renderer : public FernFileTest {};

TEST_F(Renderer, TheFernAfterOneAndFourTicksMatchesTheIndependentComputation) {
  for (const int batches : {1, 4}) {
    const std::string output = folder.file("fern-" + std::to_string(batches) + ".png");
    ASSERT_EQ(render(fern, output, batches), 0);
    const std::vector<std::uint32_t> pixels = png_pixels(output);
    ASSERT_EQ(pixels.size(), 600u * 600u);
    EXPECT_EQ(differing_pixels(pixels, reference_render(FERN_TEXT, batches)), 0) << batches << " ticks";
  }
}

TEST_F(Renderer, TheSameFileRenderedTwiceGivesTheSameBytes) {
  ASSERT_EQ(render(fern, folder.file("a.png"), 2), 0);
  ASSERT_EQ(render(fern, folder.file("b.png"), 2), 0);
  EXPECT_EQ(read_file(folder.file("a.png")), read_file(folder.file("b.png")));
  ASSERT_EQ(render(fern, folder.file("a.bmp"), 2), 0);
  ASSERT_EQ(render(fern, folder.file("b.bmp"), 2), 0);
  EXPECT_EQ(read_file(folder.file("a.bmp")), read_file(folder.file("b.bmp")));
}

// The desktop program run whole, from its entry's start-up to its exit code:
// three timer ticks, Ctrl+S with the save requester answered, the close box.
// Its file is byte for byte the renderer's after three batches.
TEST_F(Renderer, WritesTheFileTheDesktopProgramSavesAfterAsManyTicks) {
  for (const DWORD filter : {1u, 2u}) {
    const std::string extension = filter == 1 ? ".png" : ".bmp";
    const std::string rendered = folder.file("rendered" + extension);
    ASSERT_EQ(render(fern, rendered, 3), 0);

    headless_reset();
    const char* arguments[] = {"ifs-render", fern.c_str()};
    kernel32_set_process_arguments(2, arguments);
    const std::u16string saved = to_utf16(folder.file("saved"));
    headless_answer_file_dialog(saved.c_str(), filter);
    const BackendTime after_three_ticks = HEADLESS_CLOCK_START + 3 * 1500 + 750;
    HeadlessState& display = headless_state();
    display.script.push_back({after_three_ticks, [] { headless_key_press(window_handle(0), 'S', HEADLESS_CONTROL); }});
    display.script.push_back({after_three_ticks + 10, [] { headless_close_box(window_handle(0)); }});
    EXPECT_EQ(shell_run(), 0);
    headless_reset();
    EXPECT_EQ(read_file(folder.file("saved" + extension)), read_file(rendered)) << extension;
  }
}

}  // namespace
