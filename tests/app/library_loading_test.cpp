// Files of the block format as the program meets them: the first block of a
// file given at start-up, opened or dropped, its name in the window title; a
// block picked by name; the refusals of a malformed block and a
// missing name, after which the previous picture goes on; and seven-number
// files read exactly as before, braces and all.
#include <cstdlib>

#include "app/app_state.h"
#include "app/loader.h"
#include "app/progressive_drawing.h"
#include "app/shell.h"
#include "support/app_fixture.h"
#include "support/library_text.h"
#include "platform/backend/headless/drag_script.h"
#include "platform/win32/user32.h"
#include "runtime/core/startup.h"
#include "runtime/gui/gadget.h"

namespace {

class LibraryLoading : public AppTest {
 protected:
  std::u16string title() const { return headless_window_state(window()).title; }
  std::u16string window_text() const {
    char16_t text[128] = {};
    GetWindowTextW(window(), text, 128);
    return text;
  }
  void load(const std::string& path, const std::string& table = "") {
    shell_load(LoadRequest{to_utf16(path), {}, to_utf16(table)});
  }
  // The loader's reading of the values, checked against the C library's.
  static std::vector<float> independently_read(const std::string& plain) {
    std::vector<std::vector<float>> maps;
    std::size_t at = 0;
    while (at < plain.size()) {
      const std::size_t end = plain.find('\n', at);
      std::vector<float> map;
      const char* cursor = plain.c_str() + at;
      for (int parameter = 0; parameter < 7; ++parameter) {
        char* next = nullptr;
        map.push_back(std::strtof(cursor, &next));
        cursor = next;
      }
      maps.push_back(map);
      at = end + 1;
    }
    std::vector<float> values;  // parameter-major, as the table stores them
    for (int parameter = 0; parameter < 7; ++parameter)
      for (const std::vector<float>& map : maps) values.push_back(map[parameter]);
    return values;
  }
};

TEST_F(LibraryLoading, EachTwoDimensionalBlockLoadsTheTableOfItsSevenNumberFile) {
  start();
  const std::string library = write_file("classics.ifs", LIBRARY_TEXT);
  for (const PlainTable& plain : LIBRARY_PLAIN_TABLES) {
    load(write_file(plain.name + ".ifs", plain.text));
    const std::vector<float> from_plain = table_values();
    load(library, plain.name);
    EXPECT_EQ(table_values(), from_plain) << plain.name;
    EXPECT_EQ(table_values(), independently_read(plain.text)) << plain.name;
    EXPECT_EQ(loader_last_outcome().table_name, to_utf16(plain.name));
  }
  EXPECT_TRUE(messages().empty());
}

TEST_F(LibraryLoading, TheDesktopLoadsTheFirstBlockAndNamesItInTheTitle) {
  const std::string library = write_file("classics.ifs", LIBRARY_TEXT);
  start(library);
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(app_state().table.map_count, 4);
  EXPECT_EQ(title(), u"IFS render by Tarnwick - fern");
  EXPECT_EQ(window_text(), u"IFS render by Tarnwick - fern");
  ASSERT_TRUE(tick());
  EXPECT_GT(lit_pixels(), 10000);

  // A refused file leaves the title with the picture; a seven-number file
  // has no name, and the program's title stands alone again.
  load(write_file("bad.ifs", "1 2\n"));
  EXPECT_EQ(title(), u"IFS render by Tarnwick - fern");
  load(write_file("origin.ifs", ORIGIN_TEXT));
  EXPECT_EQ(title(), u"IFS render by Tarnwick");

  // Dropped, it is the first block again.
  HWND canvas = gadget_lookup(APP_CANVAS)->handle;
  const HeadlessDragResult result =
      headless_drag_files(canvas, {to_utf16(library)}, POINT{300, 300}, DROPEFFECT_COPY, 0);
  ASSERT_TRUE(result.delivered);
  ASSERT_TRUE(handle_waiting());
  EXPECT_EQ(title(), u"IFS render by Tarnwick - fern");
  EXPECT_EQ(app_state().table.map_count, 4);
}

TEST_F(LibraryLoading, RefusedBlocksAreNamedAndThePreviousPictureGoesOn) {
  const std::string origin = write_file("origin.ifs", ORIGIN_TEXT);
  start(origin);
  ASSERT_TRUE(tick());
  const std::vector<float> before = table_values();
  const std::string library = write_file("classics.ifs", LIBRARY_TEXT);
  const std::u16string name = to_utf16(library);

  load(library, "broken");
  EXPECT_EQ(loader_last_outcome().line, LIBRARY_BROKEN_LINE);
  load(library, "nope");
  load(origin, "fern");
  const std::string stray = write_file("stray.ifs", "a {\n1 0 0 1 0 0 1\n}\n}\n");
  load(stray);

  const std::vector<ShownMessage> expected{
      {u"IFS load", u"Block \"broken\", line 21: expected seven numbers a b c d e f p on one line, not 6\r\n" + name},
      {u"Load IFS", u"No table named \"nope\"; the file holds fern, sierpinski, fern3d, broken, dragon\r\n" + name},
      {u"Load IFS", u"No table named \"fern\"; the file holds no named tables\r\n" + to_utf16(origin)},
      {u"IFS load", u"Line 4: expected a block NAME { ... }, not \"}\"\r\n" + to_utf16(stray)},
  };
  EXPECT_EQ(messages(), expected);
  EXPECT_EQ(table_values(), before);
  EXPECT_EQ(title(), u"IFS render by Tarnwick");
  ASSERT_TRUE(tick());
  EXPECT_EQ(lit_pixels(), 2);
  EXPECT_EQ(canvas_pixel(300, 300), 0xFFFFFFu);
}

TEST_F(LibraryLoading, SevenNumberFilesAreReadAsBeforeEvenWithBraces) {
  start();
  // Six spaces: the seven-number rules accept it, so it is one map, not a block.
  load(write_file("braces.ifs", "x (1 2 3 4 5) {\n"));
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(table_values(), (std::vector<float>{0, 0, 2, 3, 4, 5, 0}));
  EXPECT_EQ(loader_last_outcome().table_name, u"");
  EXPECT_EQ(title(), u"IFS render by Tarnwick");

  // Refused by those rules and not a block either: the message as it always was.
  const std::string odd = write_file("odd.ifs", "\n; fern {\n");
  load(odd);
  const std::vector<ShownMessage> expected{{u"IFS load", u"wrong parameter \r\n" + to_utf16(odd)}};
  EXPECT_EQ(messages(), expected);
}

}  // namespace

// The keyboard alone walks a library: Page Down and Page Up load the next and
// the previous table from a clear canvas, wrapping round, with the name in the
// title; a table that cannot be drawn is reported and stepped over; each table
// draws the picture a program started on it draws.
TEST_F(LibraryLoading, PageDownAndPageUpWalkTheTablesOfTheLoadedLibrary) {
  const std::string library = write_file("classics.ifs", LIBRARY_TEXT);
  ASSERT_TRUE(shell_start_with_request(LoadRequest{to_utf16(library), {}, u"dragon"}));
  EXPECT_EQ(title(), u"IFS render by Tarnwick - dragon");
  ASSERT_TRUE(tick());
  ASSERT_TRUE(tick());
  ASSERT_GT(lit_pixels(), 0);

  headless_key_press(window(), VK_NEXT, 0);
  ASSERT_TRUE(handle_waiting());
  EXPECT_EQ(title(), u"IFS render by Tarnwick - fern");
  EXPECT_EQ(table_values(), independently_read(LIBRARY_PLAIN_TABLES[0].text));
  EXPECT_EQ(lit_pixels(), 0);  // cleared, as a load clears
  ASSERT_TRUE(tick());
  ASSERT_TRUE(tick());
  const std::vector<std::uint32_t> paged_fern = canvas_pixels();

  headless_key_press(window(), VK_PRIOR, 0);
  ASSERT_TRUE(handle_waiting());
  EXPECT_EQ(title(), u"IFS render by Tarnwick - dragon");
  EXPECT_EQ(table_values(), independently_read(LIBRARY_PLAIN_TABLES[2].text));

  headless_key_press(window(), VK_PRIOR, 0);
  ASSERT_TRUE(handle_waiting());
  const std::u16string name = to_utf16(library);
  const std::vector<ShownMessage> refused{
      {u"IFS load", u"Block \"broken\", line 21: expected seven numbers a b c d e f p on one line, not 6\r\n" + name}};
  EXPECT_EQ(messages(), refused);
  EXPECT_EQ(title(), u"IFS render by Tarnwick - dragon");
  EXPECT_EQ(table_values(), independently_read(LIBRARY_PLAIN_TABLES[2].text));
  headless_key_press(window(), VK_NEXT, 0);
  ASSERT_TRUE(handle_waiting());
  EXPECT_EQ(title(), u"IFS render by Tarnwick - dragon");

  // With a seven-number file the keys do nothing, as they always did.
  load(write_file("origin.ifs", ORIGIN_TEXT));
  ASSERT_TRUE(tick());
  const std::vector<float> origin = table_values();
  for (const UINT key : {VK_NEXT, VK_PRIOR}) {
    headless_key_press(window(), key, 0);
    ASSERT_TRUE(handle_waiting());
  }
  EXPECT_EQ(table_values(), origin);
  EXPECT_EQ(title(), u"IFS render by Tarnwick");
  EXPECT_EQ(lit_pixels(), 2);
  EXPECT_EQ(messages().size(), 1u);

  // The program started afresh on the fern.
  program_end();
  headless_reset();
  ASSERT_TRUE(program_begin());
  ASSERT_TRUE(shell_start_with_request(LoadRequest{to_utf16(library), {}, u"fern"}));
  ASSERT_TRUE(tick());
  ASSERT_TRUE(tick());
  EXPECT_EQ(canvas_pixels(), paged_fern);
}
