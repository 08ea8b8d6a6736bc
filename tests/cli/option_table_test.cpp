// The option table as a user meets it: every option the help names is one
// the parser knows, and all of them follow the same rules, whichever part of
// the program reads their values: "--name value" reads as "--name=value",
// a short form as its long one, a repeat is refused in one wording, and a
// missing value is named by its option.
#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/offscreen_render.h"
#include "cli/render_options.h"
#include "poster/remake_command.h"

namespace {

using Arguments = std::vector<std::string>;

std::string help_text() {
  std::FILE* out = std::tmpfile();
  std::FILE* errors = std::tmpfile();
  EXPECT_EQ(ifs_render_main({"--help"}, out, errors), 0);
  std::rewind(out);
  std::string text;
  for (int c; (c = std::fgetc(out)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(out);
  std::fclose(errors);
  return text;
}

// The long options the help lists at the start of its lines, after any short form.
std::vector<std::string> options_in_help() {
  const std::string help = help_text();
  const std::regex option_line(R"(\n +(?:-[a-zA-Z], )?(--[a-z-]+))");
  std::vector<std::string> names;
  for (auto match = std::sregex_iterator(help.begin(), help.end(), option_line); match != std::sregex_iterator(); ++match)
    names.push_back((*match)[1]);
  return names;
}

// A value each option takes (from the help's own examples and ranges).
const std::map<std::string, std::string> SAMPLE_VALUES = {
    {"--output", "x.png"},   {"--format", "png"},         {"--batches", "3"},     {"--name", "fern"},
    {"--write-ifs", "t.ifs"}, {"--size", "320x200"},      {"--margin", "5"},      {"--points", "1000"},
    {"--seed", "7"},          {"--background", "#102030"}, {"--shade", "density"}, {"--gamma", "1.5"},
    {"--palette", "#FF0000,#00FF00"}, {"--supersample", "2"}, {"--threads", "3"}, {"--depth", "16"},
    {"--view", "-2,-1,2,1"}, {"--brightness", "1.5"}, {"--vibrancy", "0.5"}, {"--colormap", "magma"},
    {"--thumbnail", "64"},
    {"--all", "pictures"},    {"--rotate", "30,-45.5,90"},
};
const std::map<std::string, std::string> SHORT_FORMS = {{"--output", "-o"}, {"--batches", "-n"}};

std::string described(const RenderOptions& options) {
  return std::to_string(options.mode) + "|" + options.error + "|" + options.output + "|" +
         std::to_string(options.format) + "|" + std::to_string(options.batches) + "|" + options.table_name + "|" +
         options.write_ifs + "|" + options.all_folder + "|" + std::to_string(options.rotation[0]) + "," +
         std::to_string(options.rotation[1]) + "," + std::to_string(options.rotation[2]) + "|" +
         (options.poster.selected ? poster_settings_text(options.poster) : "");
}

RenderOptions parse_after(const Arguments& base, const Arguments& extra) {
  Arguments arguments = base;
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  return render_options_parse(arguments);
}

TEST(OptionTable, EveryOptionTheHelpNamesIsKnownAndTakesAValueOrNone) {
  const std::vector<std::string> names = options_in_help();
  ASSERT_GE(names.size(), 19u) << help_text();
  for (const std::string& name : names) {
    const RenderOptions alone = render_options_parse({"f.ifs", name});
    EXPECT_EQ(alone.error.find("unknown option"), std::string::npos) << name << ": " << alone.error;
    const bool takes_value = SAMPLE_VALUES.count(name) != 0;
    // Last on the line, an option with a value says it needs one; a flag never does.
    EXPECT_EQ(alone.error.starts_with(name + " needs "), takes_value) << name << ": " << alone.error;
    if (!takes_value) {
      EXPECT_EQ(render_options_parse({"f.ifs", name + "=1"}).error, name + " takes no value");
    }
  }
}

TEST(OptionTable, EveryFormOfAnOptionReadsAlikeAndARepeatIsRefusedInOneWording) {
  const Arguments base{"--output", "x.png", "f.ifs"};
  for (const auto& [name, value] : SAMPLE_VALUES) {
    const Arguments extra = name == "--output" ? Arguments{} : Arguments{name, value};
    const Arguments spaced_base = name == "--output" ? Arguments{"f.ifs", name, value} : base;
    const std::string spaced = described(parse_after(spaced_base, extra));
    const Arguments joined_base = name == "--output" ? Arguments{"f.ifs", name + "=" + value} : base;
    const Arguments joined = name == "--output" ? Arguments{} : Arguments{name + "=" + value};
    EXPECT_EQ(described(parse_after(joined_base, joined)), spaced) << name;
    if (SHORT_FORMS.count(name)) {
      const std::string letter = SHORT_FORMS.at(name);
      const Arguments shorts = name == "--output" ? Arguments{"f.ifs", letter, value} : base;
      const Arguments short_extra = name == "--output" ? Arguments{} : Arguments{letter + value};
      EXPECT_EQ(described(parse_after(shorts, short_extra)), spaced) << letter;
    }
    const std::string repeat = name + " may be given only once";
    EXPECT_EQ(parse_after({"f.ifs"}, {name, value, name, value}).error, repeat);
    EXPECT_EQ(parse_after({"f.ifs"}, {name + "=" + value, name, value}).error, repeat);
    if (SHORT_FORMS.count(name)) {
      EXPECT_EQ(parse_after({"f.ifs"}, {name, value, SHORT_FORMS.at(name) + value}).error, repeat);
    }
  }
  EXPECT_EQ(render_options_parse({"--list", "--list", "f.ifs"}).error, "--list may be given only once");
}

TEST(OptionTable, AnUnknownOptionCloseToAKnownOneNamesIt) {
  const std::map<std::string, std::string> slips = {
      {"--outptu", "--output"},   {"--ouput=x.png", "--output"}, {"--batchs", "--batches"},
      {"--Output", "--output"},   {"--supersampel", "--supersample"}, {"--write", "--write-ifs"},
      {"--vresion", "--version"}, {"--lits", "--list"},
  };
  for (const auto& [typed, meant] : slips) {
    const RenderOptions options = render_options_parse({"f.ifs", typed});
    EXPECT_EQ(options.mode, MODE_USAGE_ERROR) << typed;
    EXPECT_EQ(options.error, "unknown option " + typed + "; did you mean " + meant + "?") << typed;
  }
  for (const std::string far : {"--frobnicate", "--xyz", "-x", "--ab", "--seedling-count"}) {
    EXPECT_EQ(render_options_parse({"f.ifs", far}).error, "unknown option " + far) << far;
  }

  // As the user sees it: the same status as any wrong argument.
  std::FILE* out = std::tmpfile();
  std::FILE* errors = std::tmpfile();
  EXPECT_EQ(ifs_render_main({"--outptu", "x.png", "f.ifs"}, out, errors), EXIT_USAGE);
  std::rewind(errors);
  std::string said;
  for (int c; (c = std::fgetc(errors)) != EOF;) said.push_back(static_cast<char>(c));
  EXPECT_EQ(said, "ifs-render: unknown option --outptu; did you mean --output?\n"
                  "Try 'ifs-render --help' for more information.\n");
  std::fclose(out);
  std::fclose(errors);
}

}  // namespace
