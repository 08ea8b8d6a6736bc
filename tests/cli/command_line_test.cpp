// The program's command line as people script it: options in any order,
// help and version, exit codes and the messages on standard error.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "cli/offscreen_render.h"
#include "support/app_fixture.h"
#include "runtime/graphics/encoder_table.h"
#include "app/shortened_text.h"
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

TEST_F(CommandLine, NoOutputIsWrittenOverTheFileBeingReadWhateverItsName) {
  const Bytes table = read_file(fern);
  // --format does not excuse another extension.
  for (const Arguments& wrong : {Arguments{"-o", fern, "--format", "bmp", fern},
                                 Arguments{"-o", folder.file("o.txt"), "--format", "png", fern}}) {
    const ProgramRun refused = run(wrong);
    EXPECT_EQ(refused.code, EXIT_USAGE);
    EXPECT_NE(refused.errors.find("must end in .png or .bmp"), std::string::npos) << refused.errors;
  }
  // A table named like a picture, reached by its name, a symbolic link, a
  // hard link, another spelling, or as standard input.
  const std::string odd = folder.file("table.png");
  write_file(odd, table);
  ASSERT_EQ(symlink(odd.c_str(), folder.file("soft.png").c_str()), 0);
  ASSERT_EQ(link(odd.c_str(), folder.file("hard.ifs").c_str()), 0);
  const std::string respelled = folder.path() + "/./table.png";
  for (const Arguments& over : {Arguments{"-o", odd, odd}, Arguments{"-o", folder.file("soft.png"), odd},
                                Arguments{"--write-ifs", folder.file("hard.ifs"), odd},
                                Arguments{"--write-ifs", respelled, "-o", folder.file("x.png"), odd}}) {
    const ProgramRun refused = run(over);
    EXPECT_EQ(refused.code, EXIT_USAGE) << ::testing::PrintToString(over);
    EXPECT_NE(refused.errors.find("is the .ifs file being read"), std::string::npos) << refused.errors;
  }
  std::FILE* in = std::fopen(odd.c_str(), "rb");
  std::FILE* out = std::tmpfile();
  std::FILE* errors = std::tmpfile();
  EXPECT_EQ(ifs_render_main({"--write-ifs", odd, "-"}, in, out, errors), EXIT_USAGE);
  std::fclose(in);
  std::fclose(out);
  EXPECT_NE(contents(errors).find("is the .ifs file being read"), std::string::npos);
  // The picture and the table over each other.
  const ProgramRun both = run({"-o", folder.file("x.png"), "--write-ifs", folder.file("x.png"), fern});
  EXPECT_EQ(both.code, EXIT_USAGE);
  EXPECT_NE(both.errors.find("name the same file"), std::string::npos);

  EXPECT_EQ(read_file(fern), table);
  EXPECT_EQ(read_file(odd), table);
  EXPECT_EQ(folder.entries(), (Arguments{"fern.ifs", "hard.ifs", "soft.png", "table.png"}));
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
  // The message box's words, then the system's reason on a line a script can read.
  EXPECT_EQ(missing.errors, "Load IFS: Wrong size " + folder.file("missing.ifs") + "\nifs-render: " +
                                folder.file("missing.ifs") + ": No such file or directory\n");

  const std::string bad = folder.file("bad.ifs");
  write_file(bad, Bytes{'1', ' ', '2', '\n'});
  const ProgramRun rejected = run({"--output", folder.file("x.png"), bad});
  EXPECT_EQ(rejected.code, EXIT_LOAD_FAILED);
  // The message box's line break is shown, not performed: one line per failure.
  EXPECT_EQ(rejected.errors, "IFS load: wrong parameter 1 2\\r\\n" + bad + "\nifs-render: " + bad +
                                 ":1: expected seven numbers separated by single spaces, found 1 space\n");
  EXPECT_FALSE(file_exists(folder.file("x.png")));
}

TEST_F(CommandLine, AFailedSaveExitsWithOneAndSuccessWithZero) {
  const ProgramRun failed = run({"--output", folder.file("no-such-folder/x.png"), fern, "--batches", "1"});
  EXPECT_EQ(failed.code, EXIT_SAVE_FAILED);
  EXPECT_EQ(failed.errors, "ifs-render: cannot save the picture to " + folder.file("no-such-folder/x.png") + ": " +
                               std::strerror(ENOENT) + "\n");

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

// A long poster render tells its points on a terminal, ending on the whole
// count; a short one and one whose messages go to a file tell nothing, and
// the picture is the same either way.
TEST_F(CommandLine, APosterRenderShowsItsPointsOnATerminalOnly) {
  auto render_to = [&](std::FILE* errors, const std::string& picture, const char* points) {
    return ifs_render_main({"--output", folder.file(picture), fern, "--shade", "density", "--size", "300x200",
                            "--points", points, "--threads", "2"},
                           stdout, errors);
  };
  {
    Terminal terminal;
    ASSERT_NE(terminal.screen, nullptr);
    ASSERT_EQ(render_to(terminal.screen, "shown.png", "3000000"), 0);
    const std::string shown = terminal.close_and_read();
    EXPECT_NE(shown.find("\r[" + std::string(40, '#') + "] 3.0/3.0 M points, "), std::string::npos) << shown;
    EXPECT_EQ(shown.back(), '\n');
  }
  {
    Terminal terminal;
    ASSERT_NE(terminal.screen, nullptr);
    ASSERT_EQ(render_to(terminal.screen, "short.png", "2000000"), 0);
    EXPECT_EQ(terminal.close_and_read(), "");
  }
  // The PNG's Comment names the picture, so the quiet one is written under the same name.
  const Bytes shown_picture = read_file(folder.file("shown.png"));
  std::FILE* file = std::tmpfile();
  ASSERT_EQ(render_to(file, "shown.png", "3000000"), 0);
  EXPECT_EQ(contents(file), "");
  EXPECT_EQ(read_file(folder.file("shown.png")), shown_picture);
}

TEST_F(CommandLine, APictureIsNotWrittenToATerminal) {
  Terminal terminal;
  ASSERT_NE(terminal.screen, nullptr);
  std::FILE* errors = std::tmpfile();
  EXPECT_EQ(ifs_render_main({"-o", "-", "--format", "png", fern}, stdin, terminal.screen, errors), EXIT_USAGE);
  // Nor when the format is left to its default.
  EXPECT_EQ(ifs_render_main({"-o", "-", fern}, stdin, terminal.screen, errors), EXIT_USAGE);
  EXPECT_EQ(terminal.close_and_read(), "");
  const std::string said = contents(errors);
  EXPECT_NE(said.find("standard output is a terminal"), std::string::npos);
  EXPECT_NE(said.find("standard output is a terminal", said.find('\n')), std::string::npos) << said;
}

TEST_F(CommandLine, EverySaveFailureNamesTheSystemsReasonOnOneLine) {
  const std::string folder_taken = folder.file("taken.png");
  ASSERT_EQ(mkdir(folder_taken.c_str(), 0755), 0);
  const ProgramRun over_folder = run({"--output", folder_taken, fern, "--batches", "1"});
  EXPECT_EQ(over_folder.code, EXIT_SAVE_FAILED);
  EXPECT_EQ(over_folder.errors,
            "ifs-render: cannot save the picture to " + folder_taken + ": " + std::strerror(EISDIR) + "\n");

  // A file system that takes no more than a few bytes, as a full disk.
  const std::string limited = folder.file("limited.png");
  const pid_t child = fork();
  if (child == 0) {
    rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::FILE* errors = std::fopen(folder.file("errors.txt").c_str(), "w");
    const int code = ifs_render_main({"--output", limited, fern, "--batches", "1"}, stdout, errors);
    std::fclose(errors);
    _exit(code);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), EXIT_SAVE_FAILED);
  const Bytes shown = read_file(folder.file("errors.txt"));
  EXPECT_EQ(std::string(shown.begin(), shown.end()),
            "ifs-render: cannot save the picture to " + limited + ": " + std::strerror(EFBIG) + "\n");
  EXPECT_FALSE(file_exists(limited));
}

TEST_F(CommandLine, HelpAndVersionFailWhenTheirOutputCannotBeWritten) {
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  for (const char* option : {"--help", "--version"}) {
    std::FILE* errors = std::tmpfile();
    EXPECT_NE(ifs_render_main({option}, full, errors), 0) << option;
    clearerr(full);
    EXPECT_EQ(contents(errors), std::string("ifs-render: cannot write the output: ") + std::strerror(ENOSPC) + "\n");
  }
  std::fclose(full);
}

TEST_F(CommandLine, WhatComesFromAFileOrANameIsSafeForTheTerminal) {
  // An escape sequence that would turn the terminal red and clear it.
  const std::string hostile = folder.file("hostile.ifs");
  const std::string line = "1 2\x1b[31m\x1b[2J\x07\x9b";
  write_file(hostile, Bytes(line.begin(), line.end()));
  const ProgramRun rejected = run({"--output", folder.file("x.png"), hostile});
  EXPECT_EQ(rejected.code, EXIT_LOAD_FAILED);
  EXPECT_EQ(rejected.errors, "IFS load: wrong parameter 1 2\\e[31m\\e[2J\\x07\\x9b\\r\\n" + hostile + "\nifs-render: " +
                                 hostile + ":1: expected seven numbers separated by single spaces, found 1 space\n");

  // A name holding a line break cannot fake a second message.
  const ProgramRun odd = run({"--output", folder.file("x.png"), folder.file("two\nlines.ifs")});
  const std::string shown_odd = folder.file("two\\nlines.ifs");
  EXPECT_EQ(odd.errors, "Load IFS: Wrong size " + shown_odd + "\nifs-render: " + shown_odd + ": " + std::strerror(ENOENT) + "\n");
  const ProgramRun bad_output = run({"--output", folder.file("a\rb.gif"), fern});
  EXPECT_EQ(bad_output.code, EXIT_USAGE);
  EXPECT_NE(bad_output.errors.find("a\\rb.gif"), std::string::npos) << bad_output.errors;
  EXPECT_EQ(bad_output.errors.find('\r'), std::string::npos);
}

TEST_F(CommandLine, ALongRejectedLineIsShortenedWithAnEllipsis) {
  const std::string path = folder.file("long.ifs");
  std::string text = "1 2 3 " + std::string(10 * 1024 * 1024, 'x') + "\n";
  write_file(path, Bytes(text.begin(), text.end()));
  text.clear();
  const ProgramRun rejected = run({"--output", folder.file("x.png"), path});
  EXPECT_EQ(rejected.code, EXIT_LOAD_FAILED);
  const std::string shown_line = "1 2 3 " + std::string(SHOWN_LINE_LIMIT - 7, 'x') + "\u2026";
  EXPECT_EQ(rejected.errors, "IFS load: wrong parameter " + shown_line + "\\r\\n" + path + "\nifs-render: " + path +
                                 ":1: expected seven numbers separated by single spaces, found 3 spaces\n");
}

TEST_F(CommandLine, NamesThatAreNotUtf8OrHoldWildcardsQuotesAndSpacesAreTheirOwnFiles) {
  // A file of another name that a lossy or pattern-matching reading would hit.
  write_file(folder.file("a\xEF\xBF\xBD.png"), Bytes{'k', 'e', 'e', 'p'});
  write_file(folder.file("ab.ifs"), Bytes{});
  const Bytes fern_bytes = read_file(fern);
  for (const std::string name : {"a\xFF", "a*", "a?", "say \"hi\" now", "a\xC3"}) {
    write_file(folder.file(name + ".ifs"), fern_bytes);
    const ProgramRun run_result = run({"--output", folder.file(name + ".png"), folder.file(name + ".ifs"),
                                       "--batches", "1"});
    EXPECT_EQ(run_result.code, 0) << name << ": " << run_result.errors;
    EXPECT_TRUE(decode_png(folder.file(name + ".png")).ok) << name;
  }
  EXPECT_EQ(read_file(folder.file("a\xEF\xBF\xBD.png")), (Bytes{'k', 'e', 'e', 'p'}));
  // Only the file of exactly that name counts, never a sibling that matches.
  std::remove(folder.file("a*.ifs").c_str());
  const ProgramRun missing = run({"--output", folder.file("y.png"), folder.file("a*.ifs")});
  EXPECT_EQ(missing.code, EXIT_LOAD_FAILED);
  EXPECT_EQ(missing.errors, "Load IFS: Wrong size " + folder.file("a*.ifs") + "\nifs-render: " + folder.file("a*.ifs") +
                                ": " + std::strerror(ENOENT) + "\n");
  // A name that is not UTF-8 is shown with its strange byte escaped.
  const ProgramRun strange = run({"--output", folder.file("z.png"), folder.file("gone\xFF.ifs")});
  const std::string shown_strange = folder.file("gone\\xff.ifs");
  EXPECT_EQ(strange.errors,
            "Load IFS: Wrong size " + shown_strange + "\nifs-render: " + shown_strange + ": " + std::strerror(ENOENT) + "\n");
}

}  // namespace
