// The program's command line as people script it: options in any order,
// help and version, exit codes and the messages on standard error.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/command_line_renderer.h"
#include "app_fixture.h"
#include "runtime/graphics/encoder_table.h"
#include "support/image_readers.h"

namespace {

using Arguments = std::vector<std::string>;

// Runs the program's main part with both output streams captured.
struct ProgramRun {
  int code = -1;
  std::string out;
  std::string errors;
};

std::string contents(std::FILE* file) {
  std::string text;
  std::rewind(file);
  for (int c; (c = std::fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(file);
  return text;
}

ProgramRun run(const Arguments& arguments) {
  std::FILE* out = std::tmpfile();
  std::FILE* errors = std::tmpfile();
  ProgramRun result;
  result.code = ifs_render_main(arguments, out, errors);
  result.out = contents(out);
  result.errors = contents(errors);
  return result;
}

class CommandLine : public FernFileTest {};

TEST(RenderOptions, OptionsComeInAnyOrderAndBadOnesAreRefused) {
  const RenderOptions a = render_options_parse({"--output", "x.png", "f.ifs", "--batches", "3"});
  const RenderOptions b = render_options_parse({"--batches=3", "f.ifs", "--output=x.png"});
  for (const RenderOptions& options : {a, b}) {
    EXPECT_EQ(options.mode, MODE_RENDER);
    EXPECT_EQ(options.output, "x.png");
    EXPECT_EQ(options.files, Arguments{"f.ifs"});
    EXPECT_EQ(options.batches, 3);
    EXPECT_EQ(options.format, FORMAT_PNG);
  }
  EXPECT_EQ(render_options_parse({"--output", "X.BMP", "f.ifs"}).format, FORMAT_BMP);
  EXPECT_EQ(render_options_parse({"--output", "x.png", "f.ifs"}).batches, 10);
  EXPECT_EQ(render_options_parse({"f.ifs"}).mode, MODE_DESKTOP);
  EXPECT_EQ(render_options_parse({}).mode, MODE_DESKTOP);
  EXPECT_EQ(render_options_parse({"--output", "x.png", "--", "-odd.ifs"}).files, Arguments{"-odd.ifs"});

  for (const Arguments& wrong : {Arguments{"--output", "x.jpg", "f.ifs"}, Arguments{"--output", "png", "f.ifs"},
                                 Arguments{"--output", "x.png"}, Arguments{"--output"},
                                 Arguments{"--output", "x.png", "a.ifs", "b.ifs"},
                                 Arguments{"--output", "x.png", "f.ifs", "--batches", "-3"},
                                 Arguments{"--output", "x.png", "f.ifs", "--batches", "1e3"},
                                 Arguments{"--output", "x.png", "f.ifs", "--batches", ""},
                                 Arguments{"--output", "x.png", "f.ifs", "--batches", "99999999999"},
                                 Arguments{"--output", "x.png", "f.ifs", "--batches"},
                                 Arguments{"f.ifs", "--batches", "2"}, Arguments{"--frobnicate"}}) {
    const RenderOptions options = render_options_parse(wrong);
    EXPECT_EQ(options.mode, MODE_USAGE_ERROR) << ::testing::PrintToString(wrong);
    EXPECT_FALSE(options.error.empty());
  }
}

TEST_F(CommandLine, HelpAndVersionPrintAndSucceed) {
  const ProgramRun help = run({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("Usage: ifs-render [FILE.ifs]"), std::string::npos);
  EXPECT_NE(help.out.find("--batches N"), std::string::npos);
  EXPECT_TRUE(help.errors.empty());
  const ProgramRun version = run({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.out, std::string("ifs-render ") + IFS_RENDER_VERSION + "\n");
}

TEST_F(CommandLine, WrongArgumentsAreReportedBeforeAnyWork) {
  const ProgramRun wrong = run({"--output", folder.file("x.gif"), fern});
  EXPECT_EQ(wrong.code, EXIT_USAGE);
  EXPECT_NE(wrong.errors.find("must end in .png or .bmp"), std::string::npos);
  EXPECT_EQ(folder.entries(), Arguments{"fern.ifs"});
}

TEST_F(CommandLine, WithoutOutputAndWithoutADesktopItSaysSoAndFails) {
  const ProgramRun desktop = run({fern});
  EXPECT_NE(desktop.code, 0);
  EXPECT_EQ(desktop.code, EXIT_NO_DISPLAY);
  EXPECT_NE(desktop.errors.find("no desktop display"), std::string::npos);
}

TEST_F(CommandLine, LoadErrorsPrintTheMessageBoxAndExitWithTwo) {
  const ProgramRun missing = run({"--output", folder.file("x.png"), folder.file("missing.ifs")});
  EXPECT_EQ(missing.code, EXIT_LOAD_FAILED);
  EXPECT_EQ(missing.errors, "Load IFS: Wrong size " + folder.file("missing.ifs") + "\n");

  const std::string bad = folder.file("bad.ifs");
  write_file(bad, Bytes{'1', ' ', '2', '\n'});
  const ProgramRun rejected = run({"--output", folder.file("x.png"), bad});
  EXPECT_EQ(rejected.code, EXIT_LOAD_FAILED);
  // The message box's line break is shown, not performed: one line per failure.
  EXPECT_EQ(rejected.errors, "IFS load: wrong parameter 1 2\\r\\n" + bad + "\n");
  EXPECT_FALSE(file_exists(folder.file("x.png")));
}

TEST_F(CommandLine, AFailedSaveExitsWithOneAndSuccessWithZero) {
  const ProgramRun failed = run({"--output", folder.file("no-such-folder/x.png"), fern, "--batches", "1"});
  EXPECT_EQ(failed.code, EXIT_SAVE_FAILED);
  EXPECT_NE(failed.errors.find("cannot save the picture to " + folder.file("no-such-folder/x.png")),
            std::string::npos);

  const ProgramRun saved = run({"--batches", "1", fern, "--output", folder.file("x.bmp")});
  EXPECT_EQ(saved.code, 0);
  EXPECT_TRUE(saved.errors.empty());
  const Bytes bmp = read_file(folder.file("x.bmp"));
  ASSERT_GE(bmp.size(), 2u);
  EXPECT_EQ(bmp[0], 'B');
}

TEST_F(CommandLine, TenBatchesUnlessToldOtherwise) {
  ASSERT_EQ(run({"--output", folder.file("default.png"), fern}).code, 0);
  ASSERT_EQ(run({"--output", folder.file("ten.png"), fern, "--batches", "10"}).code, 0);
  ASSERT_EQ(run({"--output", folder.file("nine.png"), fern, "--batches", "9"}).code, 0);
  EXPECT_EQ(read_file(folder.file("default.png")), read_file(folder.file("ten.png")));
  EXPECT_NE(read_file(folder.file("default.png")), read_file(folder.file("nine.png")));
}

TEST_F(CommandLine, TheProgressBarCountsTheBatches) {
  RenderOptions options = render_options_parse({"--output", folder.file("x.png"), fern, "--batches", "3"});
  std::FILE* errors = std::tmpfile();
  ASSERT_EQ(command_line_render(options, errors, true), 0);
  const std::string shown = contents(errors);
  EXPECT_NE(shown.find("\r["), std::string::npos);
  EXPECT_NE(shown.find("1/3 batches"), std::string::npos);
  EXPECT_NE(shown.find("3/3 batches\n"), std::string::npos);
}

// A pseudo-terminal in raw mode standing in for the user's terminal: the
// program writes to `screen`, everything written is collected from the other
// side while it runs.
class Terminal {
 public:
  Terminal() {
    controller_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (controller_ < 0 || grantpt(controller_) != 0 || unlockpt(controller_) != 0) return;
    const int side = open(ptsname(controller_), O_RDWR | O_NOCTTY);
    if (side < 0) return;
    termios mode{};
    tcgetattr(side, &mode);
    cfmakeraw(&mode);
    tcsetattr(side, TCSANOW, &mode);
    screen = fdopen(side, "w");
    reader_ = std::thread([this] {
      char buffer[512];
      for (ssize_t got; (got = read(controller_, buffer, sizeof buffer)) > 0;) shown_.append(buffer, got);
    });
  }
  ~Terminal() {
    if (screen) std::fclose(screen);
    if (reader_.joinable()) reader_.join();
    if (controller_ >= 0) close(controller_);
  }
  // Everything the program wrote; the terminal is closed.
  std::string close_and_read() {
    if (screen) std::fclose(screen);
    screen = nullptr;
    if (reader_.joinable()) reader_.join();  // the read fails once the other side is closed
    return shown_;
  }
  std::FILE* screen = nullptr;

 private:
  int controller_ = -1;
  std::thread reader_;
  std::string shown_;
};

TEST_F(CommandLine, AProgressBarIsShownForManyBatchesOnATerminalOnly) {
  auto render_to = [&](std::FILE* errors, const char* batches) {
    return ifs_render_main({"--output", folder.file("x.png"), fern, "--batches", batches}, stdout, errors);
  };
  {
    Terminal terminal;
    ASSERT_NE(terminal.screen, nullptr);
    ASSERT_EQ(render_to(terminal.screen, "100"), 0);
    const std::string shown = terminal.close_and_read();
    EXPECT_NE(shown.find("\r[" + std::string(40, '#') + "] 100/100 batches\n"), std::string::npos) << shown;
  }
  {
    Terminal terminal;
    ASSERT_NE(terminal.screen, nullptr);
    ASSERT_EQ(render_to(terminal.screen, "99"), 0);
    EXPECT_EQ(terminal.close_and_read(), "");
  }
  std::FILE* file = std::tmpfile();
  ASSERT_EQ(render_to(file, "100"), 0);
  EXPECT_EQ(contents(file), "");
}

}  // namespace
