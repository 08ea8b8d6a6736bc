// The loader as the user meets it: files given at start-up or opened later,
// the message boxes it shows, and what a load does to the table, the canvas
// and the drawing timer.
#include "app/loader.h"

#include <cmath>
#include <limits>

#include "app/app_state.h"
#include "app/shell.h"
#include "app/shell_state.h"
#include "app/shortened_text.h"
#include "support/app_fixture.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_loop.h"
#include "runtime/gui/event_queue.h"

namespace {

using LoaderTest = AppTest;

std::u16string wide(const std::string& text) { return to_utf16(text); }

TEST_F(LoaderTest, NamesAndSizesThatCannotBeLoadedAreReportedUnderLoadIfs) {
  start();
  const std::string empty = write_file("empty.ifs", "");
  const std::string fern = write_file("fern.ifs", FERN_TEXT);
  const std::vector<float> builtin = table_values();

  load_ifs(u"   ");
  load_ifs(wide(empty));
  load_ifs(wide(folder.file("missing.ifs")));
  load_ifs(wide(folder.path()));
  // The size is found, but a name ending in a slash cannot be opened as a file.
  load_ifs(wide(fern + "/"));

  const std::vector<ShownMessage> expected{
      {u"Load IFS", u"Wrong name!"},
      {u"Load IFS", u"Wrong size " + wide(empty)},
      {u"Load IFS", u"Wrong size " + wide(folder.file("missing.ifs"))},
      {u"Load IFS", u"Wrong size " + wide(folder.path())},
      {u"Load IFS", u"Error read " + wide(fern) + u"/"},
  };
  EXPECT_EQ(messages(), expected);
  EXPECT_EQ(table_values(), builtin);
  EXPECT_EQ(app_state().timer_pending, 1);
  EXPECT_TRUE(pass_time(3000));
  EXPECT_EQ(lit_pixels(), 0);
}

TEST_F(LoaderTest, ARejectedLineIsShownAndThePreviousDrawingGoesOn) {
  const std::string origin = write_file("origin.ifs", ORIGIN_TEXT);
  start(origin);
  ASSERT_TRUE(tick());
  const std::vector<float> before = table_values();

  const std::string bad = write_file("bad.ifs", "0 0 0 0 0 0 1\n0 0 0 0 0 0 1\n1 2 3 4 5 6\n0 0 0 0 0 0 1\n0 0 0 0 0 0 1\n");
  load_ifs(wide(bad));
  const std::string ends_empty = write_file("ends-empty.ifs", "0 0 0 0 0 0 1\n\n");
  load_ifs(wide(ends_empty));

  const std::vector<ShownMessage> expected{
      {u"IFS load", u"wrong parameter 1 2 3 4 5 6\r\n" + wide(bad)},
      {u"IFS load", u"wrong parameter \r\n" + wide(ends_empty)},
  };
  EXPECT_EQ(messages(), expected);
  EXPECT_EQ(table_values(), before);
  // Neither cleared nor stopped: the origin table keeps drawing its two pixels.
  EXPECT_EQ(canvas_pixel(300, 300), 0xFFFFFFu);
  EXPECT_EQ(canvas_pixel(301, 300), 0xFFFFFFu);
  EXPECT_EQ(lit_pixels(), 2);
}

TEST_F(LoaderTest, ALongRejectedLineIsShownCutShortWithAnEllipsis) {
  start();
  // Exactly as long as a shown line may be: shown whole.
  const std::string fits(SHOWN_LINE_LIMIT, 'x');
  const std::string whole = write_file("whole.ifs", fits + "\n");
  load_ifs(wide(whole));
  // Longer, with a character outside the basic plane where the cut falls:
  // the pair is never split.
  const std::string cut_text = std::string(SHOWN_LINE_LIMIT - 2, 'y') + "\xF0\x9F\x98\x80" + std::string(5000, 'z');
  const std::string cut = write_file("cut.ifs", cut_text + "\n");
  load_ifs(wide(cut));
  EXPECT_EQ(messages(),
            (std::vector<ShownMessage>{
                {u"IFS load", u"wrong parameter " + wide(fits) + u"\r\n" + wide(whole)},
                {u"IFS load", u"wrong parameter " + wide(std::string(SHOWN_LINE_LIMIT - 2, 'y')) + u"\u2026\r\n" +
                                  wide(cut)}}));
}

TEST_F(LoaderTest, LineEndsOfEveryKindLoadAlike) {
  start();
  const std::string lf = "1 0 0 1 0 0 0.25\n0.5 0 0 0.5 1 1 0.75\n";
  const std::string crlf = "1 0 0 1 0 0 0.25\r\n0.5 0 0 0.5 1 1 0.75\r\n";
  const std::string cr = "1 0 0 1 0 0 0.25\r0.5 0 0 0.5 1 1 0.75\r";
  const std::string no_end = "1 0 0 1 0 0 0.25\n0.5 0 0 0.5 1 1 0.75";
  const std::vector<float> expected{1, 0.5f, 0, 0, 0, 0, 1, 0.5f, 0, 1, 0, 1, 0.25f, 0.75f};
  for (const std::string& text : {lf, crlf, cr, no_end}) {
    load_ifs(wide(write_file("maps.ifs", text)));
    EXPECT_EQ(app_state().table.last_map, 1);
    EXPECT_EQ(table_values(), expected);
  }
  EXPECT_TRUE(messages().empty());
}

TEST_F(LoaderTest, FieldsThatAreNoNumbersLoadAsZeroAndEmptyFieldsShiftTheRest) {
  start();
  load_ifs(wide(write_file("odd.ifs", "abc 2 3 4 5 6 7\n1  3 4 5 6 7\n-1.5e1 +Infinity nan 4x , 0.5 1\n")));
  ASSERT_TRUE(messages().empty());
  const IfsTable& table = app_state().table;
  ASSERT_EQ(table.map_count, 3);
  auto map = [&](int index) {
    std::vector<float> values;
    for (int parameter = 0; parameter < 7; ++parameter) values.push_back(ifs_get(table, parameter, index));
    return values;
  };
  EXPECT_EQ(map(0), (std::vector<float>{0, 2, 3, 4, 5, 6, 7}));
  // Two spaces together: an empty field of value 0, the numbers after it one parameter on.
  EXPECT_EQ(map(1), (std::vector<float>{1, 0, 3, 4, 5, 6, 7}));
  EXPECT_EQ(map(2)[0], -15.0f);
  EXPECT_EQ(map(2)[1], std::numeric_limits<float>::infinity());
  EXPECT_TRUE(std::isnan(map(2)[2]));
  EXPECT_EQ(map(2)[3], 4.0f);
  EXPECT_EQ(map(2)[4], 0.0f);
}

TEST_F(LoaderTest, ANameWithSpacesAroundItIsTrimmedAndLoads) {
  start();
  const std::string origin = write_file("origin.ifs", ORIGIN_TEXT);
  load_ifs(u"  " + wide(origin) + u"  ");
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(app_state().table.map_count, 1);
}

TEST_F(LoaderTest, TheFirstLoadStartsTimer123AtFifteenHundredMillisecondsAndLaterLoadsKeepIt) {
  start();
  const std::string fern = write_file("fern.ifs", FERN_TEXT);
  const std::string origin = write_file("origin.ifs", ORIGIN_TEXT);
  load_ifs(wide(fern));
  EXPECT_EQ(app_state().timer_pending, 0);

  headless_advance_clock(1499);
  EXPECT_TRUE(handle_waiting());
  EXPECT_EQ(lit_pixels(), 0);

  // The tick at 1500 ms: the event names timer 123.
  headless_advance_clock(1);
  std::int32_t code = 0;
  for (int step = 0; step < 10 && code != EVENT_TIMER; ++step) code = event_wait(0);
  ASSERT_EQ(code, EVENT_TIMER);
  EXPECT_EQ(event_menu_item(), 123);
  EXPECT_TRUE(shell_dispatch(code));
  EXPECT_GT(lit_pixels(), 1000);

  // A second load half-way through the interval: were the timer restarted,
  // the next tick would come 1500 ms after the load instead of 750.
  ASSERT_TRUE(pass_time(750));
  load_ifs(wide(origin));
  EXPECT_EQ(lit_pixels(), 0);
  ASSERT_TRUE(pass_time(750));
  // The running timer draws the new table.
  EXPECT_EQ(canvas_pixel(300, 300), 0xFFFFFFu);
  EXPECT_EQ(lit_pixels(), 2);
  EXPECT_TRUE(messages().empty());
}

TEST_F(LoaderTest, ATableTooLargeForMemoryIsReportedAndChangesNothing) {
  const std::string origin = write_file("origin.ifs", ORIGIN_TEXT);
  start(origin);
  ASSERT_TRUE(tick());
  const std::vector<float> before = table_values();

  // More lines than the table may hold: the limit stands in for memory
  // running out, which takes the same path.
  loader_map_limit_set(2);
  const std::string three = write_file("three.ifs", "0 0 0 0 0 0 1\n0 0 0 0 0 0 1\n0 0 0 0 0 0 1\n");
  load_ifs(wide(three));
  loader_map_limit_set(LOADER_DEFAULT_MAP_LIMIT);

  const std::vector<ShownMessage> expected{{u"Load IFS", u"Not enough memory for the 3 maps of " + wide(three)}};
  EXPECT_EQ(messages(), expected);
  EXPECT_EQ(table_values(), before);
  EXPECT_EQ(lit_pixels(), 2);
  ASSERT_TRUE(tick());
  EXPECT_EQ(lit_pixels(), 2);
  EXPECT_EQ(canvas_pixel(300, 300), 0xFFFFFFu);
}

}  // namespace
