// The command line with files of the block format and with pipes: --list,
// --name and --write-ifs, "-" for standard input and output, the short
// options, and each option at most once.
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/offscreen_render.h"
#include "support/app_fixture.h"
#include "support/library_text.h"
#include "runtime/graphics/encoder_table.h"
#include "support/image_readers.h"

namespace {

using Arguments = std::vector<std::string>;

struct ProgramRun {
  int code = -1;
  std::string out;
  std::string errors;
};

std::FILE* stream_holding(const std::string& text) {
  std::FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  return file;
}

std::string contents(std::FILE* file) {
  std::string text;
  std::rewind(file);
  for (int c; (c = std::fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(file);
  return text;
}

// The program with `input` as its standard input and both outputs captured.
ProgramRun run(const Arguments& arguments, const std::string& input = "") {
  std::FILE* in = stream_holding(input);
  std::FILE* out = std::tmpfile();
  std::FILE* errors = std::tmpfile();
  ProgramRun result;
  result.code = ifs_render_main(arguments, in, out, errors);
  std::fclose(in);
  result.out = contents(out);
  result.errors = contents(errors);
  return result;
}

class LibraryCommandLine : public FernFileTest {
 protected:
  void SetUp() override {
    FernFileTest::SetUp();
    library = folder.file("classics.ifs");
    ::write_file(library, Bytes(LIBRARY_TEXT.begin(), LIBRARY_TEXT.end()));
  }
  std::string write(const std::string& name, const std::string& text) {
    ::write_file(folder.file(name), Bytes(text.begin(), text.end()));
    return folder.file(name);
  }
  // One tick's picture; empty when the render fails.
  Bytes render(Arguments arguments, const std::string& output) {
    arguments.insert(arguments.end(), {"-o", output, "-n", "1"});
    const ProgramRun done = run(arguments);
    EXPECT_EQ(done.code, 0) << done.errors;
    return read_file(output);
  }

  std::string library;
};

TEST(LibraryOptions, ShortOptionsEachOptionOnceAndWhereTheNewOptionsApply) {
  const RenderOptions shorts = render_options_parse({"-o", "x.png", "-n5", "f.ifs"});
  EXPECT_EQ(shorts.mode, MODE_RENDER);
  EXPECT_EQ(shorts.output, "x.png");
  EXPECT_EQ(shorts.batches, 5);
  EXPECT_EQ(render_options_parse({"-ox.png", "f.ifs"}).output, "x.png");
  EXPECT_EQ(render_options_parse({"-h"}).mode, MODE_HELP);
  EXPECT_EQ(render_options_parse({"-V"}).mode, MODE_VERSION);
  EXPECT_EQ(render_options_parse({"-o", "x.png", "-"}).files, Arguments{"-"});

  const RenderOptions piped = render_options_parse({"-o", "-", "--format", "BMP", "-"});
  EXPECT_EQ(piped.mode, MODE_RENDER);
  EXPECT_EQ(piped.format, FORMAT_BMP);
  // Standard output without --format takes the default picture format.
  EXPECT_EQ(render_options_parse({"-o", "-", "f.ifs"}).format, FORMAT_PNG);
  EXPECT_EQ(render_options_parse({"-o", "x.PNG", "--format=png", "f.ifs"}).format, FORMAT_PNG);
  // --format does not make another extension acceptable.
  EXPECT_EQ(render_options_parse({"-o", "picture", "--format=png", "f.ifs"}).mode, MODE_USAGE_ERROR);
  const RenderOptions named = render_options_parse({"--name", "fern", "--write-ifs", "t.ifs", "lib.ifs"});
  EXPECT_EQ(named.mode, MODE_RENDER);
  EXPECT_EQ(named.output, "");
  EXPECT_EQ(named.table_name, "fern");
  EXPECT_EQ(named.write_ifs, "t.ifs");
  EXPECT_EQ(render_options_parse({"--list", "lib.ifs"}).mode, MODE_LIST);

  for (const Arguments& wrong :
       {Arguments{"-o", "a.png", "--output", "b.png", "f.ifs"}, Arguments{"-n", "1", "--batches=2", "-o", "a.png", "f"},
        Arguments{"--name", "a", "--name", "b", "-o", "a.png", "f"}, Arguments{"--list", "--list", "f"},
        Arguments{"--write-ifs", "a", "--write-ifs", "b", "f"},
        Arguments{"-o", "a.png", "--format", "png", "--format", "png", "f"},
        Arguments{"-o", "a.png", "--format", "bmp", "f.ifs"}, Arguments{"-o", "a.png", "--format", "gif", "f.ifs"},
        Arguments{"-o", "-", "--format", "png", "--write-ifs", "-", "f.ifs"}, Arguments{"--name", "fern"}, Arguments{"--name", "fern", "a.ifs", "b.ifs"},
        Arguments{"--format", "png", "f.ifs"}, Arguments{"--list", "-o", "a.png", "f.ifs"}, Arguments{"--list"},
        Arguments{"--list", "a.ifs", "b.ifs"}, Arguments{"--write-ifs", "t.ifs", "-n", "2", "f.ifs"},
        Arguments{"--write-ifs", "t.ifs"}, Arguments{"-x"}, Arguments{"-hV"}, Arguments{"--list=yes", "f"},
        Arguments{"-o"}}) {
    const RenderOptions options = render_options_parse(wrong);
    EXPECT_EQ(options.mode, MODE_USAGE_ERROR) << ::testing::PrintToString(wrong);
    EXPECT_FALSE(options.error.empty());
  }
  EXPECT_EQ(render_options_parse({"-o", "a.png", "-o", "b.png", "f.ifs"}).error, "--output may be given only once");
}

TEST_F(LibraryCommandLine, ListNamesTheTablesOneALine) {
  const ProgramRun listed = run({"--list", library});
  EXPECT_EQ(listed.code, 0);
  EXPECT_EQ(listed.out, "fern\nsierpinski\nfern3d\nbroken\ndragon\n");
  EXPECT_EQ(listed.errors, "");

  // A seven-number file holds one table without a name.
  const ProgramRun plain = run({"--list", fern});
  EXPECT_EQ(plain.code, 0);
  EXPECT_EQ(plain.out, "");

  const ProgramRun piped = run({"--list", "-"}, LIBRARY_TEXT);
  EXPECT_EQ(piped.out, listed.out);

  const ProgramRun refused = run({"--list", write("stray.ifs", "a {\n1 0 0 1 0 0 1\n}\nb\n")});
  EXPECT_EQ(refused.code, EXIT_LOAD_FAILED);
  EXPECT_EQ(refused.out, "");
  EXPECT_NE(refused.errors.find(":4: expected a block NAME { ... }, not \"b\"\n"), std::string::npos) << refused.errors;
}

TEST_F(LibraryCommandLine, ListedNamesCannotDriveTheTerminal) {
  // Names from another program's library: an escape sequence, BEL, and the
  // C1 control U+009B that many terminals take as ESC [.
  const std::string hostile = write("hostile.ifs", "red\x1b[31m {\n1 0 0 1 0 0 1\n}\nbell\x07\xc2\x9b" "2J {\n1 0 0 1 0 0 1\n}\n");
  const ProgramRun listed = run({"--list", hostile});
  EXPECT_EQ(listed.code, 0);
  EXPECT_EQ(listed.out, "red\\e[31m\nbell\\x07\\u009b2J\n");
}

TEST_F(LibraryCommandLine, ANameInAnotherCodePageIsFoundByTheBytesListed) {
  // A library saved in Latin-1 by another program: "café" ends in the byte E9.
  const std::string latin1 = write("latin1.ifs", "caf\xe9 {\n.5 0 0 .5 0 0 1\n}\nzwei {\n.5 0 0 .5 .5 0 1\n}\n");
  const ProgramRun listed = run({"--list", latin1});
  EXPECT_EQ(listed.out, "caf\\xe9\nzwei\n");
  const ProgramRun named = run({"--name", "caf\xe9", "--write-ifs", "-", latin1});
  EXPECT_EQ(named.code, 0) << named.errors;
  EXPECT_EQ(named.out, "0.5 0 0 0.5 0 0 1\n");
  // A missing name is shown escaped like the names the file holds.
  const ProgramRun missing = run({"--name", "caf\xe8", "--write-ifs", "-", latin1});
  EXPECT_EQ(missing.code, EXIT_LOAD_FAILED);
  EXPECT_NE(missing.errors.find("No table named \"caf\\xe8\"; the file holds caf\\xe9, zwei"), std::string::npos)
      << missing.errors;
}

TEST_F(LibraryCommandLine, AMissingNameInAHugeLibraryListsAScreenfulAndHowManyMore) {
  std::string text, names;
  for (int table = 0; table < 25; ++table) {
    text += "t" + std::to_string(table) + " {\n1 0 0 1 0 0 1\n}\n";
    if (table < 20) names += (table > 0 ? ", t" : "t") + std::to_string(table);
  }
  const std::string path = write("many.ifs", text);
  const ProgramRun missing = run({"--name", "nope", "-o", folder.file("x.png"), path});
  EXPECT_EQ(missing.code, EXIT_LOAD_FAILED);
  EXPECT_EQ(missing.errors, "Load IFS: No table named \"nope\"; the file holds " + names + " and 5 more\\r\\n" + path +
                                "\nifs-render: " + path + ": no table named \"nope\"; the file holds " + names +
                                " and 5 more\n");
}

TEST_F(LibraryCommandLine, EachBlockRendersByteForByteLikeItsSevenNumberFile) {
  for (const PlainTable& plain : LIBRARY_PLAIN_TABLES) {
    const Bytes from_block = render({"--name", plain.name, library}, folder.file(plain.name + "-block.png"));
    const Bytes from_plain = render({write(plain.name + ".ifs", plain.text)}, folder.file(plain.name + "-plain.png"));
    EXPECT_FALSE(from_block.empty());
    EXPECT_EQ(from_block, from_plain) << plain.name;
  }
  // Without --name the first block is drawn.
  EXPECT_EQ(render({library}, folder.file("first.png")), read_file(folder.file("fern-block.png")));
}

TEST_F(LibraryCommandLine, WriteIfsTurnsABlockIntoAFileTheSevenNumberLoaderDrawsAlike) {
  const std::string written = folder.file("dragon-written.ifs");
  const ProgramRun converted = run({"--name", "dragon", "--write-ifs", written, library});
  EXPECT_EQ(converted.code, 0) << converted.errors;
  EXPECT_FALSE(file_exists(folder.file("dragon-written.png")));
  const Bytes text = read_file(written);
  EXPECT_EQ(std::string(text.begin(), text.end()), "0.5 -0.5 0.5 0.5 0 0 0.5\n-0.5 -0.5 0.5 -0.5 1 0 0.5\n");

  // Every value written reads back as the same float: the fern's awkward
  // decimals are the test, against a render of the block itself.
  const ProgramRun fern_table = run({"--name", "fern", "--write-ifs", "-", library});
  ASSERT_EQ(fern_table.code, 0);
  const std::string fern_written = write("fern-written.ifs", fern_table.out);
  EXPECT_EQ(render({fern_written}, folder.file("from-written.png")),
            render({"--name", "fern", library}, folder.file("from-block.png")));

  // Together with --output: one load, the table and the picture.
  const ProgramRun both = run({"--write-ifs", "-", "-o", folder.file("both.png"), "-n", "1", library});
  EXPECT_EQ(both.code, 0);
  EXPECT_EQ(both.out, fern_table.out);
  EXPECT_EQ(read_file(folder.file("both.png")), read_file(folder.file("from-block.png")));

  const ProgramRun unwritable = run({"--write-ifs", folder.file("no-such-folder/t.ifs"), library});
  EXPECT_EQ(unwritable.code, EXIT_SAVE_FAILED);
  EXPECT_NE(unwritable.errors.find("No such file or directory"), std::string::npos) << unwritable.errors;
}

TEST_F(LibraryCommandLine, WrittenValuesReadBackBitForBitEvenAtTheEdgesOfTheFloats) {
  const std::string edges = write("edges.ifs",
                                  "nan +Infinity -INFINITY -0 1e-45 3.4028235e38 0.1\n"
                                  "abc 1e-50 -1.17549435e-38 0.33333334 16777217 1e39 -2.5e-3\n");
  const ProgramRun first = run({"--write-ifs", "-", edges});
  ASSERT_EQ(first.code, 0) << first.errors;
  // Read back by the loader and written again: the same text, so the same bits.
  const ProgramRun second = run({"--write-ifs", "-", "-"}, first.out);
  ASSERT_EQ(second.code, 0) << second.errors;
  EXPECT_EQ(second.out, first.out);
  EXPECT_EQ(first.out,
            "NaN +Infinity -Infinity -0 1e-45 3.4028235e+38 0.1\n"
            "0 0 -1.1754944e-38 0.33333334 16777216 +Infinity -0.0025\n");
}

TEST_F(LibraryCommandLine, RefusalsSayWhichNamesThereAreAndWhichLineIsWrong) {
  const ProgramRun missing = run({"--name", "nope", "-o", folder.file("x.png"), library});
  EXPECT_EQ(missing.code, EXIT_LOAD_FAILED);
  EXPECT_NE(missing.errors.find("the file holds fern, sierpinski, fern3d, broken, dragon"), std::string::npos);
  EXPECT_FALSE(file_exists(folder.file("x.png")));

  const ProgramRun broken = run({"--name", "broken", "-o", folder.file("x.png"), library});
  EXPECT_EQ(broken.code, EXIT_LOAD_FAILED);
  const std::string detail = ":21: expected seven numbers a b c d e f p on one line, not 6\n";
  EXPECT_NE(broken.errors.find("\nifs-render: " + library + detail), std::string::npos)
      << broken.errors;

  const ProgramRun folder_given = run({"-o", folder.file("x.png"), folder.path()});
  EXPECT_EQ(folder_given.code, EXIT_LOAD_FAILED);
  EXPECT_EQ(folder_given.errors,
            "Load IFS: Wrong size " + folder.path() + "\nifs-render: " + folder.path() + ": Is a directory\n");

  const ProgramRun three_d = run({"--name", "fern3d", "--write-ifs", folder.file("t.ifs"), library});
  // A 3-D table loads, but the seven-number format cannot hold it.
  EXPECT_EQ(three_d.code, EXIT_SAVE_FAILED);
  EXPECT_EQ(three_d.errors, "ifs-render: fern3d is a 3-D table: the seven-number format holds only 2-D tables\n");
  EXPECT_FALSE(file_exists(folder.file("t.ifs")));
  EXPECT_FALSE(file_exists(folder.file("t.ifs")));
}

TEST_F(LibraryCommandLine, StandardInputAndOutputStandForFiles) {
  const std::string by_file = folder.file("by-file.png");
  ASSERT_EQ(run({"-o", by_file, "-n", "1", fern}).code, 0);
  const ProgramRun piped = run({"-o", "-", "--format", "png", "-n", "1", "-"}, FERN_TEXT);
  EXPECT_EQ(piped.code, 0) << piped.errors;
  const Bytes expected = read_file(by_file);
  EXPECT_EQ(Bytes(piped.out.begin(), piped.out.end()), expected);

  const ProgramRun bmp = run({"-o", "-", "--format", "bmp", "-n", "1", fern});
  ASSERT_EQ(bmp.code, 0);
  ASSERT_EQ(run({"-o", folder.file("by-file.bmp"), "-n", "1", fern}).code, 0);
  EXPECT_EQ(Bytes(bmp.out.begin(), bmp.out.end()), read_file(folder.file("by-file.bmp")));

  // Messages name standard input as it was given.
  const ProgramRun rejected = run({"-o", folder.file("x.png"), "-"}, "1 2\n");
  EXPECT_EQ(rejected.code, EXIT_LOAD_FAILED);
  EXPECT_EQ(rejected.errors,
            "IFS load: wrong parameter 1 2\\r\\n-\nifs-render: -:1: expected seven numbers separated by single "
            "spaces, found 1 space\n");
  const ProgramRun empty = run({"-o", folder.file("x.png"), "-"}, "");
  EXPECT_EQ(empty.errors, "Load IFS: Wrong size -\nifs-render: -: the file is empty\n");
}

// The real program in a real pipe, as a script would run it, without naming
// the format.
TEST_F(LibraryCommandLine, APipeThroughTheProgramGivesTheFileToFileBytes) {
  const std::string program = IFS_BINARY_DIR "/ifs-render";
  const std::string by_file = folder.file("by-file.png");
  const std::string by_pipe = folder.file("by-pipe.png");
  const std::string command = "cat '" + fern + "' | '" + program + "' -o - - > '" + by_pipe + "' && '" +
                              program + "' --output '" + by_file + "' '" + fern + "'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(read_file(by_pipe), read_file(by_file));
  EXPECT_GT(read_file(by_pipe).size(), 1000u);
}

}  // namespace

namespace {

// Whether `text` holds `line` as one whole line.
bool holds_line(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

}  // namespace

// Tables pasted from elsewhere: a decimal comma or a header line still loads
// (the loader reads what it can, often 0), and each such field is named on
// standard error; the status and the table are what they always were.
TEST_F(LibraryCommandLine, FieldsThatAreNotNumbersAreNamedByLineAndField) {
  const std::string comma = write("comma.ifs", "0 0 0 0,16 0 0 0.01\n0.85 0.04 -0.04 0.85 0 1,6 0.85\n");
  const ProgramRun read = run({"--write-ifs", "-", comma});
  EXPECT_EQ(read.code, 0);
  // The table as written back: "0,16" counted as 0, "1,6" as 1, as a C scan reads them.
  EXPECT_EQ(read.out, "0 0 0 0 0 0 0.01\n0.85 0.04 -0.04 0.85 0 1 0.85\n");
  EXPECT_EQ(read.errors, "ifs-render: " + comma + ":1: warning: field 4, \"0,16\", is not a number and is read as 0\n" +
                             "ifs-render: " + comma + ":2: warning: field 6, \"1,6\", is not a number and is read as 1\n");

  // A header line gives seven warnings; past ten only their number is told.
  const std::string headed = write("headed.ifs", "a b c d e f p\n0,5 0 0 0,5 0 0 0,5\n0.5  0 0.5 0 0 0.5\n");
  const ProgramRun many = run({"--write-ifs", folder.file("t.ifs"), headed});
  EXPECT_EQ(many.code, 0);
  EXPECT_TRUE(holds_line(many.errors, "ifs-render: " + headed + ":1: warning: field 1, \"a\", is not a number and is read as 0"))
      << many.errors;
  EXPECT_TRUE(holds_line(many.errors, "ifs-render: " + headed + ":2: warning: field 7, \"0,5\", is not a number and is read as 0"));
  EXPECT_TRUE(holds_line(many.errors, "ifs-render: " + headed + ": warning: 1 more field is not a number"));
  EXPECT_EQ(std::count(many.errors.begin(), many.errors.end(), '\n'), 11);

  // Numbers, words for infinities and NaN included, draw no word; nor does
  // the picture change with the warnings.
  const std::string words = write("words.ifs", "0.5 0 0 0.5 +infinity 0 0\n0.5 0 0 0.5 0 NaN 0\n-.5 0 0 .5e0 0 0 1\n");
  EXPECT_EQ(run({"--write-ifs", folder.file("w.ifs"), words}).errors, "");
  const ProgramRun drawn = run({"-o", folder.file("comma.png"), "-n", "1", comma});
  EXPECT_EQ(drawn.code, 0);
  EXPECT_EQ(read_file(folder.file("comma.png")),
            render({write("zeros.ifs", "0 0 0 0 0 0 0.01\n0.85 0.04 -0.04 0.85 0 1 0.85\n")}, folder.file("zeros.png")));
}

// A table written loosely is refused by the seven-number rules; when its
// lines read as a table of the block format, the command line says how to
// make it load. A header whose name holds a space is told as a header.
TEST_F(LibraryCommandLine, ARefusedLooseTableGetsAHintThatHoldsAndASpacedHeaderIsNamedAsOne) {
  const std::string maps = "0  0 0 .16 0 0 .01   ; stem\n.85\t.04 -.04 .85 0 1.6 .85\n.2 -.26 .23 .22 0 1.6 .07\n"
                           "-.15 .28 .26 .24 0 .44 .07\n";
  const std::string loose = write("loose.ifs", maps);
  const ProgramRun refused = run({"--write-ifs", "-", loose});
  EXPECT_EQ(refused.code, EXIT_LOAD_FAILED);
  EXPECT_EQ(refused.errors, "IFS load: wrong parameter 0  0 0 .16 0 0 .01   ; stem\\r\\n" + loose + "\nifs-render: " +
                                loose + ":1: expected seven numbers separated by single spaces, found 11 spaces\n" +
                                "ifs-render: hint: wrapped in NAME { ... }, the lines of " + loose +
                                " read as a library table, where runs of spaces, tabs and ; comments are allowed\n");
  // The hint holds: wrapped, the same lines give the fern.
  const ProgramRun wrapped = run({"--write-ifs", "-", write("wrapped.ifs", "fern {\n" + maps + "}\n")});
  EXPECT_EQ(wrapped.code, 0);
  EXPECT_EQ(wrapped.out, run({"--write-ifs", "-", fern}).out);

  // No hint where wrapping would not help, nor for a line merely too short.
  for (const std::string& text : {std::string("0  0 0 .16 0\n"), std::string("1 2\n"), std::string("a  b c d e f g\n")}) {
    const ProgramRun other = run({"--write-ifs", "-", write("other.ifs", text)});
    EXPECT_EQ(other.code, EXIT_LOAD_FAILED);
    EXPECT_EQ(other.errors.find("hint"), std::string::npos) << other.errors;
  }

  const std::string spaced = write("spaced.ifs", "my fern {\n0.5 0 0 0.5 0 0 1\n}\n");
  const ProgramRun header = run({"--write-ifs", "-", spaced});
  EXPECT_EQ(header.code, EXIT_LOAD_FAILED);
  EXPECT_EQ(header.errors, "IFS load: wrong parameter my fern {\\r\\n" + spaced + "\nifs-render: " + spaced +
                               ":1: expected a block header NAME { whose name holds no spaces, not \"my fern {\"\n");
}

// --all: every table of a library as its own picture, each the one --output
// --name gives it, named safely and distinctly, one progress line a table,
// and a status that says whether all were written.
TEST_F(LibraryCommandLine, AllWritesEveryTableAsTheOutputOfThatTable) {
  const std::string classics = std::string(IFS_SOURCE_DIR) + "/examples/classics.ifs";
  const ProgramRun listed = run({"--list", classics});
  ASSERT_EQ(listed.code, 0);
  const std::string pictures = folder.file("classics");
  ASSERT_EQ(mkdir(pictures.c_str(), 0700), 0);
  const ProgramRun all = run({"--all", pictures, "-n", "2", classics});
  EXPECT_EQ(all.code, 0) << all.errors;
  std::vector<std::string> names;
  for (std::size_t at = 0, end; (end = listed.out.find('\n', at)) != std::string::npos; at = end + 1)
    names.push_back(listed.out.substr(at, end - at));
  ASSERT_GE(names.size(), 2u);
  std::string progress;
  for (std::size_t index = 0; index < names.size(); ++index) {
    const std::string picture = pictures + "/" + names[index] + ".png";
    progress += "ifs-render: [" + std::to_string(index + 1) + "/" + std::to_string(names.size()) + "] " +
                names[index] + ": " + picture + "\n";
    const DecodedPng decoded = decode_png(picture);
    EXPECT_TRUE(decoded.ok && decoded.width == 600 && decoded.height == 600) << names[index];
    const std::string alone = folder.file(names[index] + "-alone.png");
    ASSERT_EQ(run({"--name", names[index], "-o", alone, "-n", "2", classics}).code, 0);
    EXPECT_EQ(read_file(picture), read_file(alone)) << names[index];
  }
  EXPECT_EQ(all.errors, progress + "ifs-render: " + std::to_string(names.size()) + " of " +
                            std::to_string(names.size()) + " tables written to " + pictures + "\n");

  // With --format bmp, BMP files of the same size beside them.
  EXPECT_EQ(run({"--all", pictures, "--format", "bmp", "-n", "2", classics}).code, 0);
  const Bytes bmp = read_file(pictures + "/" + names[0] + ".bmp");
  ASSERT_GT(bmp.size(), 26u);
  EXPECT_EQ(std::string(bmp.begin(), bmp.begin() + 2), "BM");
  EXPECT_EQ(read_le32(bmp, 18), 600u);
  EXPECT_EQ(read_le32(bmp, 22), 600u);
}

TEST_F(LibraryCommandLine, AllKeepsClashingNamesApartDrawsThreeDimensionalTablesAndTellsWhatWasNotWritten) {
  const std::string text = "a/b {\n0.5 0 0 0.5 0 0 1\n}\na_b {\n0.5 0 0 0.5 0.5 0 1\n}\n"
                           "spiral (3D) {\n.5 0 0 0 .5 0 0 0 .5 .5 0 0 1\n}\n"
                           "broken {\n1 2 3\n}\n";
  const std::string path = write("mixed.ifs", text);
  const std::string pictures = folder.file("mixed");
  ASSERT_EQ(mkdir(pictures.c_str(), 0700), 0);
  const ProgramRun all = run({"--all", pictures, "-n", "1", path});
  EXPECT_EQ(all.code, EXIT_SAVE_FAILED);
  EXPECT_TRUE(holds_line(all.errors, "ifs-render: [1/4] a/b: " + pictures + "/a_b.png")) << all.errors;
  EXPECT_TRUE(holds_line(all.errors, "ifs-render: [2/4] a_b: " + pictures + "/a_b-2.png"));
  EXPECT_TRUE(holds_line(all.errors, "ifs-render: [3/4] spiral: " + pictures + "/spiral.png"));
  EXPECT_TRUE(holds_line(all.errors, "ifs-render: [4/4] broken: not written"));
  EXPECT_TRUE(holds_line(all.errors, "ifs-render: 3 of 4 tables written to " + pictures));
  EXPECT_FALSE(file_exists(pictures + "/broken.png"));
  EXPECT_EQ(read_file(pictures + "/a_b.png"), render({"--name", "a/b", path}, folder.file("ab.png")));
  EXPECT_EQ(read_file(pictures + "/a_b-2.png"), render({"--name", "a_b", path}, folder.file("a_b.png")));
  EXPECT_NE(read_file(pictures + "/a_b.png"), read_file(pictures + "/a_b-2.png"));

  // A seven-number file is one table named after the file; a name that is
  // not a folder is said so before anything is drawn, and a folder that
  // cannot be made is said so with the reason.
  EXPECT_EQ(run({"--all", pictures, "-n", "1", fern}).code, 0);
  EXPECT_EQ(read_file(pictures + "/fern.png"), render({fern}, folder.file("fern-alone.png")));
  const ProgramRun not_folder = run({"--all", path, "-n", "1", fern});
  EXPECT_EQ(not_folder.code, EXIT_SAVE_FAILED);
  EXPECT_EQ(not_folder.errors, "ifs-render: --all needs an existing folder, not " + path + "\n");
  const std::string deeper = folder.file("none") + "/deeper";
  const ProgramRun nowhere = run({"--all", deeper, "-n", "1", fern});
  EXPECT_EQ(nowhere.code, EXIT_SAVE_FAILED);
  EXPECT_TRUE(nowhere.errors.starts_with("ifs-render: --all cannot make the folder " + deeper + ": ")) << nowhere.errors;
  EXPECT_FALSE(file_exists(folder.file("none")));
}

// Picture options over a library whose first table is 3-D, into a folder not
// made yet: every table is written, each the poster --output --name gives it,
// and a Comment names every table but the first, which is drawn without it.
TEST_F(LibraryCommandLine, AllWithPictureOptionsMakesItsFolderAndDrawsEveryTableThreeDimensionalToo) {
  const std::string path = write("solid.ifs", "fern3d (3D) {\n0 0 0 0 .18 0 0 0 0 0 0 0 .01\n"
                                              ".83 0 0 0 .86 .1 0 -.12 .84 0 1.62 0 .99\n}\n"
                                              "sierpinski {\n0.5 0 0 0.5 0 0 0.33\n0.5 0 0 0.5 0.5 0 0.33\n"
                                              "0.5 0 0 0.5 0.25 0.5 0.34\n}\n");
  const Arguments picture = {"--size", "48x40", "--colormap", "inferno", "--rotate", "0,60,0"};
  const std::string pictures = folder.file("posters");
  Arguments all = {"--all", pictures, path};
  all.insert(all.end(), picture.begin(), picture.end());
  const ProgramRun written = run(all);
  EXPECT_EQ(written.code, 0) << written.errors;
  EXPECT_TRUE(holds_line(written.errors, "ifs-render: 2 of 2 tables written to " + pictures)) << written.errors;
  ASSERT_EQ(mkdir(folder.file("alone").c_str(), 0700), 0);
  for (const std::string name : {"sierpinski", "fern3d"}) {
    const std::string alone = folder.file("alone") + "/" + name + ".png";
    Arguments one = {"--name", name, "-o", alone, path};
    one.insert(one.end(), picture.begin(), picture.end());
    ASSERT_EQ(run(one).code, 0) << name;
    const DecodedPng png = decode_png(pictures + "/" + name + ".png");
    ASSERT_TRUE(png.ok) << name;
    EXPECT_EQ(png.rows, decode_png(alone).rows) << name;
    std::string comment;
    for (const auto& [keyword, text] : png.texts)
      if (keyword == "Comment") comment = text;
    EXPECT_EQ(comment.find("--name") != std::string::npos, name == std::string("sierpinski")) << comment;
    EXPECT_EQ(comment.find("--rotate") != std::string::npos, name == std::string("fern3d")) << comment;
  }
  // The turn shows: the 3-D table seen from above is another picture.
  const std::string above = folder.file("alone") + "/fern3d-above.png";
  ASSERT_EQ(run({"--name", "fern3d", "-o", above, path, "--size", "48x40", "--colormap", "inferno"}).code, 0);
  EXPECT_NE(decode_png(above).rows, decode_png(pictures + "/fern3d.png").rows);
}

// Where --all, --rotate and a desktop --name apply, and what --rotate reads.
TEST(LibraryOptions, AllRotateAndTheDesktopsNameAreReadWhereTheyApply) {
  const RenderOptions all = render_options_parse({"--all", "out", "--format", "bmp", "-n", "3", "lib.ifs"});
  EXPECT_EQ(all.mode, MODE_ALL);
  EXPECT_EQ(all.all_folder, "out");
  EXPECT_EQ(all.format, FORMAT_BMP);
  EXPECT_EQ(render_options_parse({"--all", "out", "lib.ifs"}).format, FORMAT_PNG);
  EXPECT_TRUE(render_options_parse({"--all", "out", "--size", "300x200", "lib.ifs"}).poster.selected);

  const RenderOptions desktop = render_options_parse({"--name", "koch", "--rotate", "90,-30.5,360", "lib.ifs"});
  EXPECT_EQ(desktop.mode, MODE_DESKTOP);
  EXPECT_EQ(desktop.table_name, "koch");
  EXPECT_EQ(desktop.rotation, (std::array<double, 3>{90, -30.5, 360}));

  for (const Arguments& wrong :
       {Arguments{"--all", "out", "-o", "x.png", "f.ifs"}, Arguments{"--all", "out", "--name", "a", "f.ifs"},
        Arguments{"--all", "out", "--write-ifs", "t.ifs", "f.ifs"}, Arguments{"--all", "out"},
        Arguments{"--all", "out", "a.ifs", "b.ifs"}, Arguments{"--all", "", "f.ifs"}, Arguments{"--list", "--all", "o", "f"},
        Arguments{"--rotate", "1,2", "f.ifs"}, Arguments{"--rotate", "1,2,3,4", "f.ifs"},
        Arguments{"--rotate", "1,,3", "f.ifs"}, Arguments{"--rotate", "1,2,400", "f.ifs"},
        Arguments{"--rotate", "1e1,2,3", "f.ifs"}, Arguments{"--rotate", "1,2,nan", "f.ifs"},
        Arguments{"--rotate", "0x10,2,3", "f.ifs"}, Arguments{"--rotate", " 1,2,3", "f.ifs"}}) {
    const RenderOptions options = render_options_parse(wrong);
    EXPECT_EQ(options.mode, MODE_USAGE_ERROR) << ::testing::PrintToString(wrong);
  }
}

// The desktop program with a table picked or standard input, and no display:
// it says so, after reading what it was given.
TEST_F(LibraryCommandLine, TheDesktopsNameAndStandardInputNeedADisplayToo) {
  for (const Arguments& desktop : {Arguments{"--name", "koch", library}, Arguments{"-"}}) {
    const ProgramRun without = run(desktop, LIBRARY_TEXT);
    EXPECT_EQ(without.code, EXIT_NO_DISPLAY);
    EXPECT_NE(without.errors.find("there is no desktop display"), std::string::npos) << without.errors;
  }
  const ProgramRun missing = run({"--name", "koch", folder.file("none.ifs")});
  EXPECT_EQ(missing.code, EXIT_NO_DISPLAY);
}
