// The PNG's Comment is a command: run by /bin/sh in the table's folder with
// the built program on the PATH, it writes a PNG equal byte for byte to the
// one the comment came from, whatever the names hold.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/image_readers.h"
#include "support/program_child.h"

namespace {

using Arguments = std::vector<std::string>;

const std::string FERN =
    "0 0 0 0.16 0 0 0.01\n0.85 0.04 -0.04 0.85 0 1.6 0.85\n0.2 -0.26 0.23 0.22 0 1.6 0.07\n"
    "-0.15 0.28 0.26 0.24 0 0.44 0.07\n";
// Two tables in the block format, the second with a name the shell must not read.
const std::string TWO_TABLES = "first {\n 0.5 0 0 0.5 0 0 0.5\n 0.5 0 0 0.5 1 0 0.5\n}\n"
                               "it's#2&$x {\n" + FERN + "}\n";
// A 3-D table whose turn changes the picture: the Comment must carry --rotate.
const std::string SPACE_TABLE = "tower (3D) {\n"
                                " .5 0 0 0 .5 0 0 0 .5 0 0 0 .3\n"
                                " .5 0 0 0 .5 0 0 0 .5 1 0 0 .3\n"
                                " .5 .1 0 0 .5 0 .2 0 .4 0 .5 .8 .4\n}\n";

std::string comment_of(const DecodedPng& png) {
  for (const auto& [keyword, text] : png.texts)
    if (keyword == "Comment") return text;
  return {};
}

// Runs `command` with /bin/sh in `folder`; its exit status.
int run_in_shell(const std::string& folder, const std::string& command, const std::string& errors) {
  const char* path = std::getenv("PATH");
  ProgramChild child;
  child.arguments = {"-c", "cd \"$1\" && eval \"$2\"", "sh", folder, command};
  child.environment = {{"PATH", std::string(IFS_BINARY_DIR) + ":" + (path ? path : "/usr/bin:/bin")}};
  child.errors = errors;
  const ChildEnd end = program_child_run("/bin/sh", child);
  return end.exited ? end.code : 1000 + end.signal;
}

struct OptionSet {
  std::string table_file;  // base name in the folder
  std::string table_text;
  std::string picture;     // base name in the folder
  Arguments options;
};

TEST(RemakeComment, RunByTheShellInTheTablesFolderWritesTheSameBytes) {
  const std::vector<OptionSet> sets = {
      {"fern.ifs", FERN, "fern.png", {"--shade", "density", "--size", "64x48", "--seed", "7", "--threads", "2"}},
      {"my tables.ifs", TWO_TABLES, "a picture #1.png", {"--name", "it's#2&$x", "--margin", "3.5", "--size", "40x40"}},
      {"view.ifs", FERN, "view.png",
       {"--view", "-2.5,-0.25,2.75,10.5", "--background", "#10203080", "--palette", "#FF0000,#00ff00", "--points", "40000"}},
      {"-dash.ifs", FERN, "tone.png",
       {"--colormap", "magma", "--brightness", "1.5", "--vibrancy", "0.25", "--gamma", "3", "--supersample", "2",
        "--size", "30x50", "--depth", "16"}},
      {"back\\slash.ifs", FERN, "it's \"5\"\\.png",
       {"--background", "transparent", "--batches", "3", "--size", "20x20", "--brightness", "1",
        "--margin", "0"}},
      // Angles as typed, a millionth of a degree included (no exponent).
      {"tower.ifs", SPACE_TABLE, "tower.png",
       {"--rotate", "30.25,-0.000001,-90", "--shade", "density", "--size", "48x40"}},
  };
  for (const OptionSet& set : sets) {
    ScratchFolder home;
    ScratchFolder elsewhere;
    const std::string table = home.file(set.table_file);
    write_file(table, Bytes(set.table_text.begin(), set.table_text.end()));
    // The first picture is made from another folder with full paths.
    ProgramChild first;
    first.arguments = {"--output", home.file(set.picture)};
    first.arguments.insert(first.arguments.end(), set.options.begin(), set.options.end());
    first.arguments.insert(first.arguments.end(), {"--", table});
    first.errors = elsewhere.file("errors.txt");
    const ChildEnd made = program_child_run(IFS_RENDER_PROGRAM, first);
    ASSERT_TRUE(made.exited && made.code == 0) << set.picture;
    const Bytes original = read_file(home.file(set.picture));
    const DecodedPng png = decode_png(home.file(set.picture));
    ASSERT_TRUE(png.ok) << set.picture;
    const std::string comment = comment_of(png);
    ASSERT_TRUE(comment.starts_with("ifs-render ")) << comment;
    EXPECT_EQ(comment.find(home.path()), std::string::npos) << "no folder names: " << comment;
    EXPECT_EQ(comment.find("--threads"), std::string::npos) << comment;
    const auto rotate = std::find(set.options.begin(), set.options.end(), "--rotate");
    if (rotate != set.options.end()) {
      EXPECT_NE(comment.find("--rotate " + rotate[1]), std::string::npos) << comment;
    }

    write_file(home.file(set.picture), Bytes{'o', 'l', 'd'});
    ASSERT_EQ(run_in_shell(home.path(), comment, elsewhere.file("shell.txt")), 0) << comment;
    EXPECT_EQ(read_file(home.file(set.picture)), original) << comment;
    EXPECT_EQ(home.entries().size(), 2u) << "the command writes nothing else: " << comment;
  }
}

}  // namespace
