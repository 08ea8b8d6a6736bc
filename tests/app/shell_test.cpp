// The shell: its split of the command line, what start-up shows, and the
// open, save and drop flows as the user drives them.
#include "app/shell.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>

#include "app/app_state.h"
#include "app/program_parameters.h"
#include "app/progressive_drawing.h"
#include "support/app_fixture.h"
#include "platform/backend/headless/drag_script.h"
#include "platform/win32/kernel32.h"
#include "platform/win32/process_arguments.h"
#include "platform/win32/user32.h"
#include "runtime/file/file.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_loop.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/gadget.h"

namespace {

using Tokens = std::vector<std::u16string>;

void set_command_line(std::vector<const char*> arguments) {
  kernel32_set_process_arguments(static_cast<int>(arguments.size()), arguments.data());
}

TEST(ProgramParameters, SpacesSeparateAndDoubleQuotesGroup) {
  EXPECT_EQ(program_parameters_split(u"prog a b"), (Tokens{u"prog", u"a", u"b"}));
  EXPECT_EQ(program_parameters_split(u"  prog   a  "), (Tokens{u"prog", u"a"}));
  EXPECT_EQ(program_parameters_split(u"prog \"my dir/fern.ifs\" x"), (Tokens{u"prog", u"my dir/fern.ifs", u"x"}));
  // An unclosed quote runs to the end of the line, spaces and all.
  EXPECT_EQ(program_parameters_split(u"prog \"a b "), (Tokens{u"prog", u"a b "}));
  // Inside an unquoted token a quote is an ordinary character; so is a tab.
  EXPECT_EQ(program_parameters_split(u"prog a\"b\tc d"), (Tokens{u"prog", u"a\"b\tc", u"d"}));
  EXPECT_EQ(program_parameters_split(u"prog \"\""), (Tokens{u"prog", u""}));
  EXPECT_EQ(program_parameters_split(u""), Tokens{});
  EXPECT_EQ(program_parameters_split(u"   "), Tokens{});
}

TEST(ProgramParameters, EveryArgumentComesBackWholeQuotesAndSpacesAndStrangeBytesToo) {
  // Inside a quoted token two quotes stand for one.
  EXPECT_EQ(program_parameters_split(u"prog \"say \"\"hi\"\"\" x"), (Tokens{u"prog", u"say \"hi\"", u"x"}));
  EXPECT_EQ(program_parameters_split(u"prog \"\"\"\""), (Tokens{u"prog", u"\""}));
  std::uint32_t state = 7;
  auto next = [&] { return state = state * 1103515245u + 12345u, state >> 16; };
  const char pieces[] = {'a', ' ', '"', '*', '?', '\t', '\xFF', '/'};
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::string> arguments{"/usr/bin/ifs-render"};
    for (unsigned count = next() % 4; count > 0; --count) {
      std::string argument(next() % 6, ' ');
      for (char& unit : argument) unit = pieces[next() % sizeof pieces];
      arguments.push_back(argument);
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    set_command_line(argv);
    program_parameters_reset();
    ASSERT_EQ(program_parameter_count(), static_cast<std::int32_t>(arguments.size() - 1)) << round;
    for (std::size_t index = 1; index < arguments.size(); ++index) {
      std::u16string expected;
      for (char unit : arguments[index])
        expected += static_cast<unsigned char>(unit) == 0xFF ? u'\xDCFF' : static_cast<char16_t>(unit);
      ASSERT_EQ(program_parameter(-1), expected) << round;
    }
  }
}

TEST(ProgramParameters, TheCursorWalksTheParametersAfterTheProgramPath) {
  set_command_line({"/usr/bin/ifs-render", "first", "with space", "third"});
  program_parameters_reset();
  EXPECT_EQ(program_parameter_count(), 3);
  EXPECT_EQ(program_parameter(-1), u"first");
  EXPECT_EQ(program_parameter(-1), u"with space");
  EXPECT_EQ(program_parameter(0), u"first");
  EXPECT_EQ(program_parameter(2), u"third");
  EXPECT_EQ(program_parameter(-1), u"");  // past the last one
  EXPECT_EQ(program_parameter(7), u"");
  set_command_line({"/usr/bin/ifs-render"});
  EXPECT_EQ(program_parameter_count(), 0);
  EXPECT_EQ(program_parameter(0), u"");
}

using ShellTest = AppTest;

std::u16string menu_text(HMENU menu, int position) {
  char16_t buffer[64] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), buffer, 64, MF_BYPOSITION);
  return buffer;
}

TEST_F(ShellTest, StartUpShowsTheWindowWithItsFileMenuAndABlackCanvasThatStaysBlack) {
  start();
  const HeadlessWindowState shown = headless_window_state(window());
  EXPECT_TRUE(shown.visible);
  EXPECT_EQ(shown.title, u"IFS render by Tarnwick");
  EXPECT_TRUE(shown.accepts_drops);
  ASSERT_NE(shown.menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(shown.menu), 1);
  EXPECT_EQ(menu_text(shown.menu, 0), u"File");
  HMENU file = GetSubMenu(shown.menu, 0);
  ASSERT_EQ(GetMenuItemCount(file), 4);
  EXPECT_EQ(menu_text(file, 0), u"Open\u2026\tCtrl+O");
  EXPECT_EQ(GetMenuItemID(file, 0), 0u);
  EXPECT_EQ(menu_text(file, 1), u"Save\u2026\tCtrl+S");
  EXPECT_EQ(GetMenuItemID(file, 1), 1u);
  EXPECT_EQ(menu_text(file, 3), u"Quit\tEsc");
  EXPECT_EQ(GetMenuItemID(file, 3), 2u);

  // A fixed-size window with caption, system menu and minimize box, centred
  // on the screen; the menu bar takes its room from the inner height, which
  // leaves exactly the canvas.
  const LONG_PTR style = GetWindowLongW(window(), GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  EXPECT_EQ(shown.client.right - shown.client.left, 600);
  EXPECT_EQ(shown.client.bottom - shown.client.top, 600);
  const int centre_x = (shown.frame.left + shown.frame.right) / 2;
  const int centre_y = (shown.frame.top + shown.frame.bottom) / 2;
  EXPECT_LE(std::abs(centre_x - GetSystemMetrics(SM_CXSCREEN) / 2), 1);
  EXPECT_LE(std::abs(centre_y - GetSystemMetrics(SM_CYSCREEN) / 2), 1);

  // The canvas is 600 × 600 and black; nothing is drawn while no file is loaded.
  EXPECT_EQ(canvas_pixels().size(), 600u * 600u);
  EXPECT_TRUE(pass_time(10 * 1500));
  EXPECT_EQ(lit_pixels(), 0);
  EXPECT_TRUE(messages().empty());
  EXPECT_TRUE(file_dialogs().empty());
}

TEST_F(ShellTest, CtrlOAndTheOpenItemBothAskForAFileAndLoadIt) {
  start();
  const std::string origin = write_file("origin.ifs", ORIGIN_TEXT);
  const std::string fern = write_file("fern.ifs", FERN_TEXT);

  headless_answer_file_dialog(to_utf16(origin).c_str(), 1);
  headless_key_press(window(), 'O', HEADLESS_CONTROL);
  ASSERT_TRUE(handle_waiting());
  EXPECT_EQ(app_state().table.map_count, 1);

  headless_answer_file_dialog(to_utf16(fern).c_str(), 1);
  ASSERT_TRUE(headless_choose_menu(window(), 0));
  ASSERT_TRUE(handle_waiting());
  EXPECT_EQ(app_state().table.map_count, 4);

  const std::vector<HeadlessRequesterRecord> dialogs = file_dialogs();
  ASSERT_EQ(dialogs.size(), 2u);
  for (const HeadlessRequesterRecord& dialog : dialogs) {
    EXPECT_EQ(dialog.kind, HEADLESS_OPEN_FILE);
    EXPECT_EQ(dialog.title, u"Please choose file to load");
    EXPECT_EQ(dialog.filter, (Tokens{u"IFS data (*.ifs)", u"*.ifs"}));
    EXPECT_EQ(dialog.filter_index, 1u);
  }
  // A cancelled requester changes nothing.
  headless_cancel_file_dialog();
  headless_key_press(window(), 'O', HEADLESS_CONTROL);
  ASSERT_TRUE(handle_waiting());
  EXPECT_EQ(file_dialogs().size(), 3u);
  EXPECT_EQ(app_state().table.map_count, 4);
  EXPECT_TRUE(messages().empty());
}

TEST_F(ShellTest, CtrlSAndTheSaveItemBothAskWhereToSaveAndWrite) {
  const std::string fern = write_file("fern.ifs", FERN_TEXT);
  start(fern);
  ASSERT_TRUE(tick());
  headless_answer_file_dialog(to_utf16(folder.file("by-key")).c_str(), 1);
  headless_key_press(window(), 'S', HEADLESS_CONTROL);
  ASSERT_TRUE(handle_waiting());
  headless_answer_file_dialog(to_utf16(folder.file("by-menu")).c_str(), 1);
  ASSERT_TRUE(headless_choose_menu(window(), 1));
  ASSERT_TRUE(handle_waiting());

  const std::vector<HeadlessRequesterRecord> dialogs = file_dialogs();
  ASSERT_EQ(dialogs.size(), 2u);
  for (const HeadlessRequesterRecord& dialog : dialogs) {
    EXPECT_EQ(dialog.kind, HEADLESS_SAVE_FILE);
    EXPECT_EQ(dialog.title, u"Please choose file to save");
    EXPECT_EQ(dialog.filter,
              (Tokens{u"Portable Network Graphics (*.png)", u"*.png", u"Bitmap (*.bmp)", u"*.bmp"}));
  }
  EXPECT_EQ(read_file(folder.file("by-key.png")), read_file(folder.file("by-menu.png")));
  EXPECT_TRUE(decode_png(folder.file("by-key.png")).ok);
}

TEST_F(ShellTest, AFailedSaveIsReportedWithTheFileAndTheSystemsReason) {
  start(write_file("fern.ifs", FERN_TEXT));
  ASSERT_TRUE(tick());
  headless_answer_file_dialog(to_utf16(folder.file("missing/picture")).c_str(), 1);
  headless_key_press(window(), 'S', HEADLESS_CONTROL);
  ASSERT_TRUE(handle_waiting());
  ASSERT_EQ(mkdir_all("taken.bmp"), 0);
  headless_answer_file_dialog(to_utf16(folder.file("taken")).c_str(), 2);
  ASSERT_TRUE(headless_choose_menu(window(), 1));
  ASSERT_TRUE(handle_waiting());
  const std::u16string no_such_file = to_utf16(std::strerror(ENOENT));
  const std::u16string is_a_folder = to_utf16(std::strerror(EISDIR));
  EXPECT_EQ(messages(), (std::vector<ShownMessage>{
                            {u"Save", to_utf16(folder.file("missing/picture.png")) + u"\r\n" + no_such_file},
                            {u"Save", to_utf16(folder.file("taken.bmp")) + u"\r\n" + is_a_folder}}));
  // The program goes on drawing.
  const int lit = lit_pixels();
  ASSERT_TRUE(tick());
  EXPECT_GT(lit_pixels(), lit);
}

TEST_F(ShellTest, TheChosenTypeDecidesTheExtensionAndTheFormat) {
  start();
  auto save_as = [&](const std::string& name, DWORD filter) {
    headless_answer_file_dialog(to_utf16(folder.file(name)).c_str(), filter);
    headless_key_press(window(), 'S', HEADLESS_CONTROL);
    ASSERT_TRUE(handle_waiting());
  };
  save_as("fern", 1);
  save_as("fern.PNG", 1);
  save_as("fern.PNG", 2);
  save_as("picture.bmp", 1);
  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"fern.PNG", "fern.PNG.bmp", "fern.png", "picture.bmp.png"}));
  const Bytes png_signature{0x89, 'P', 'N', 'G'};
  for (const char* name : {"fern.png", "fern.PNG", "picture.bmp.png"}) {
    const Bytes bytes = read_file(folder.file(name));
    ASSERT_GE(bytes.size(), 4u) << name;
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 4), png_signature) << name;
  }
  const Bytes bmp = read_file(folder.file("fern.PNG.bmp"));
  ASSERT_GE(bmp.size(), 54u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(static_cast<std::int32_t>(read_le32(bmp, 18)), 600);
  EXPECT_EQ(static_cast<std::int32_t>(read_le32(bmp, 22)), 600);
  EXPECT_EQ(read_le16(bmp, 28), 24);
}

TEST_F(ShellTest, EachRequesterRemembersItsOwnFolderAndTheSaveTypeIsPreselected) {
  start();
  ASSERT_EQ(0, mkdir_all("opened"));
  ASSERT_EQ(0, mkdir_all("saved"));
  const std::string origin = write_file("opened/origin.ifs", ORIGIN_TEXT);
  const std::u16string start_folder = current_directory();

  auto open_file = [&](const std::string& path) {
    headless_answer_file_dialog(to_utf16(path).c_str(), 1);
    headless_key_press(window(), 'O', HEADLESS_CONTROL);
    ASSERT_TRUE(handle_waiting());
  };
  auto save_file = [&](const std::string& path, DWORD filter) {
    headless_answer_file_dialog(to_utf16(path).c_str(), filter);
    headless_key_press(window(), 'S', HEADLESS_CONTROL);
    ASSERT_TRUE(handle_waiting());
  };
  open_file(origin);
  save_file(folder.file("saved/one"), 2);
  open_file(origin);
  save_file(folder.file("saved/two"), 1);
  save_file(folder.file("saved/three"), 1);

  const std::vector<HeadlessRequesterRecord> dialogs = file_dialogs();
  ASSERT_EQ(dialogs.size(), 5u);
  const std::u16string opened = to_utf16(folder.file("opened"));
  const std::u16string saved = to_utf16(folder.file("saved"));
  auto starts_in = [](const HeadlessRequesterRecord& dialog, const std::u16string& directory) {
    return dialog.initial_directory == directory || dialog.initial_directory == directory + u"/";
  };
  // Both start where the program was started.
  EXPECT_TRUE(starts_in(dialogs[0], start_folder.substr(0, start_folder.size() - 1)));
  EXPECT_TRUE(starts_in(dialogs[1], start_folder.substr(0, start_folder.size() - 1)));
  EXPECT_EQ(dialogs[1].filter_index, 1u);
  // Then each goes where it was last used.
  EXPECT_TRUE(starts_in(dialogs[2], opened));
  EXPECT_TRUE(starts_in(dialogs[3], saved));
  EXPECT_EQ(dialogs[3].filter_index, 2u);  // BMP, chosen the time before
  EXPECT_EQ(dialogs[4].filter_index, 1u);
  EXPECT_TRUE(file_exists(folder.file("saved/one.bmp")));
  EXPECT_TRUE(file_exists(folder.file("saved/two.png")));

  // A cancelled save writes nothing and forgets neither the folder nor the type.
  save_file(folder.file("saved/four"), 2);
  headless_cancel_file_dialog();
  headless_key_press(window(), 'S', HEADLESS_CONTROL);
  ASSERT_TRUE(handle_waiting());
  headless_cancel_file_dialog();
  headless_key_press(window(), 'S', HEADLESS_CONTROL);
  ASSERT_TRUE(handle_waiting());
  const std::vector<HeadlessRequesterRecord> later = file_dialogs();
  ASSERT_EQ(later.size(), 8u);
  EXPECT_TRUE(starts_in(later[7], saved));
  EXPECT_EQ(later[7].filter_index, 2u);
  std::set<std::string> saved_files;
  for (const auto& entry : std::filesystem::directory_iterator(folder.file("saved")))
    saved_files.insert(entry.path().filename().string());
  EXPECT_EQ(saved_files, (std::set<std::string>{"four.bmp", "one.bmp", "three.png", "two.png"}));
}

TEST_F(ShellTest, DroppingLoadsTheFirstFileWhenItsNameEndsInIfs) {
  start();
  const std::string origin = write_file("origin.ifs", ORIGIN_TEXT);
  const std::string fern = write_file("fern.ifs", FERN_TEXT);
  const std::string upper = write_file("FERN.IFS", FERN_TEXT);
  const std::string text = write_file("notes.txt", ORIGIN_TEXT);
  HWND canvas = gadget_lookup(APP_CANVAS)->handle;
  auto drop = [&](const std::vector<std::string>& paths) {
    std::vector<std::u16string> wide;
    for (const std::string& path : paths) wide.push_back(to_utf16(path));
    const HeadlessDragResult result = headless_drag_files(canvas, wide, POINT{300, 300}, DROPEFFECT_COPY, 0);
    EXPECT_TRUE(result.delivered);
    EXPECT_EQ(result.final_effect, static_cast<DWORD>(DROPEFFECT_COPY));
    return handle_waiting();
  };

  ASSERT_TRUE(drop({origin, fern, upper}));
  EXPECT_EQ(app_state().table.map_count, 1);
  ASSERT_TRUE(drop({upper}));
  EXPECT_EQ(app_state().table.map_count, 4);
  ASSERT_TRUE(drop({origin}));
  // Other names are ignored silently, even when the first of several.
  ASSERT_TRUE(drop({text, fern}));
  EXPECT_EQ(app_state().table.map_count, 1);
  EXPECT_TRUE(messages().empty());
  // Only the last three letters count: a name without a dot before them loads.
  ASSERT_TRUE(drop({write_file("graphifs", FERN_TEXT)}));
  EXPECT_EQ(app_state().table.map_count, 4);
  EXPECT_TRUE(messages().empty());
}

// "--" ends the options for the desktop program as for the command line: the
// name after it is the file, even one that starts with a dash; alone it names none.
TEST_F(ShellTest, TheFileAfterTheOptionsEndIsTheOneLoaded) {
  const std::string fern = write_file("-fern.ifs", FERN_TEXT);
  set_command_line({"ifs-render", "--", fern.c_str()});
  ASSERT_TRUE(shell_start());
  EXPECT_EQ(app_state().table.map_count, 4);
  EXPECT_TRUE(messages().empty());
  EXPECT_TRUE(tick());
  EXPECT_GT(lit_pixels(), 0);
}

TEST_F(ShellTest, TheOptionsEndAloneNamesNoFile) {
  set_command_line({"ifs-render", "--"});
  ASSERT_TRUE(shell_start());
  EXPECT_TRUE(messages().empty()) << "\"--\" was loaded as a file";
  EXPECT_TRUE(pass_time(3 * 1500));
  EXPECT_EQ(lit_pixels(), 0);
}

// The event codes the program's loop handles until it ends, as it runs.
std::vector<std::int32_t> run_event_loop() {
  std::vector<std::int32_t> codes;
  for (std::int32_t code = event_wait(-1);; code = event_wait(-1)) {
    codes.push_back(code);
    if (!shell_dispatch(code)) return codes;
  }
}

int timer_events(const std::vector<std::int32_t>& codes) {
  return static_cast<int>(std::count(codes.begin(), codes.end(), EVENT_TIMER));
}

// The keyboard alone: F10 opens the File menu, and Quit chosen there ends the program.
TEST_F(ShellTest, F10OpensTheMenuWhereQuitEndsTheProgram) {
  start();
  headless_script_key_press(headless_now() + 100, window(), VK_F10, 0);
  headless_answer_menu(MENU_QUIT, 300);
  const std::vector<std::int32_t> codes = run_event_loop();
  EXPECT_EQ(headless_menu_loops().by_keyboard, 1);
  EXPECT_EQ(codes.back(), EVENT_MENU);
  EXPECT_EQ(event_menu_item(), MENU_QUIT);
}

// While the menu is open the program's loop waits: three ticks that fall due
// meanwhile give one batch once it closes, and the Escape that closed it, held
// a moment, does not end the program.
TEST_F(ShellTest, TheMenuHeldOpenAcrossThreeTicksGivesOneBatchAndItsEscapeDoesNotQuit) {
  start(write_file("fern.ifs", FERN_TEXT));
  const BackendTime loaded = headless_now();
  headless_script_key_press(loaded + 100, window(), VK_F10, 0);
  headless_answer_menu(HEADLESS_MENU_ESCAPED, 4600);  // ticks at 1500, 3000 and 4500 fall inside
  headless_script_close_box(loaded + 4800, window());
  const std::vector<std::int32_t> codes = run_event_loop();
  EXPECT_EQ(codes.back(), EVENT_CLOSE) << "the Escape that closed the menu ended the program";
  EXPECT_EQ(timer_events(codes), 1);
}

// The user's first minute: the program started without a file sits idle in its
// loop; a file dropped then is loaded at once and drawn from the first tick on,
// with nothing else done (the close box comes just after that tick).
TEST_F(ShellTest, AFileDroppedOnTheIdleWindowIsDrawnAtTheFirstTick) {
  start();
  const std::string fern = write_file("fern.ifs", FERN_TEXT);
  HWND canvas = gadget_lookup(APP_CANVAS)->handle;
  const BackendTime dropped_at = headless_now() + 100;
  headless_script_drag_files(dropped_at, canvas, {to_utf16(fern)}, POINT{300, 300}, DROPEFFECT_COPY, 0);
  headless_script_close_box(dropped_at + 1500 + 10, window());
  shell_event_loop();
  EXPECT_EQ(app_state().table.map_count, 4);
  EXPECT_GT(lit_pixels(), 0) << "the drop waited for other input before it was loaded";
}

}  // namespace
