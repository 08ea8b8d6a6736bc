#include "cli/render_options.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "runtime/graphics/encoder_table.h"

namespace {

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Digits only, at most ten of them and at most MAX_BATCHES; -1 otherwise.
std::int64_t parse_batches(const std::string& text) {
  return text.size() > 10 ? -1 : option_whole_number(text, MAX_BATCHES);
}

// What the options said beyond RenderOptions' own fields.
struct Given {
  bool output = false;
  bool batches = false;
  bool format = false;
  bool name = false;
  bool list = false;
};

struct Parse {
  RenderOptions options;
  Given given;
};

// One option: its long and short spelling, whether it takes a value (and
// what to say when it is missing), and what it does; `apply` returns an
// error message, empty when the value is fine. Every option may be given
// once, as "--name value", "--name=value" or, with a short spelling, "-x value"
// and "-xvalue".
struct Option {
  const char* name;
  char short_name;
  const char* missing_value;  // null for an option without a value
  std::string (*apply)(Parse& parse, const std::string& value);
};

std::string apply_output(Parse& parse, const std::string& value) {
  if (value.empty()) return "--output needs a file name";
  parse.options.output = value;
  parse.given.output = true;
  return {};
}

std::string apply_batches(Parse& parse, const std::string& value) {
  parse.options.batches = parse_batches(value);
  parse.given.batches = true;
  if (parse.options.batches >= 0) return {};
  return "--batches takes a whole number from 0 to " + std::to_string(MAX_BATCHES) + ", not \"" + value + "\"";
}

std::string apply_format(Parse& parse, const std::string& value) {
  parse.given.format = true;
  parse.options.format = render_format_for("." + lower(value));
  if (parse.options.format != 0 && value.size() == 3) return {};
  return "--format takes png or bmp, not \"" + value + "\"";
}

std::string apply_name(Parse& parse, const std::string& value) {
  if (value.empty()) return "--name needs the name of a table";
  parse.options.table_name = value;
  parse.given.name = true;
  return {};
}

std::string apply_write_ifs(Parse& parse, const std::string& value) {
  if (value.empty()) return "--write-ifs needs a file name";
  parse.options.write_ifs = value;
  return {};
}

std::string apply_list(Parse& parse, const std::string&) {
  parse.given.list = true;
  return {};
}

std::string apply_help(Parse& parse, const std::string&) {
  parse.options.mode = MODE_HELP;
  return {};
}

std::string apply_version(Parse& parse, const std::string&) {
  parse.options.mode = MODE_VERSION;
  return {};
}

// A picture option: its value is the poster renderer's to read.
template <PosterOption option>
std::string apply_picture(Parse& parse, const std::string& value) {
  return poster_option_read(option, value, parse.options.poster);
}

// Every option of the program.
const Option OPTIONS[] = {
    {"--output", 'o', "--output needs a file name", apply_output},
    {"--batches", 'n', "--batches needs a number", apply_batches},
    {"--format", 0, "--format needs png or bmp", apply_format},
    {"--name", 0, "--name needs the name of a table", apply_name},
    {"--write-ifs", 0, "--write-ifs needs a file name", apply_write_ifs},
    {"--list", 0, nullptr, apply_list},
    {"--help", 'h', nullptr, apply_help},
    {"--version", 'V', nullptr, apply_version},
    {"--size", 0, "--size needs a value", apply_picture<POSTER_SIZE>},
    {"--margin", 0, "--margin needs a value", apply_picture<POSTER_MARGIN>},
    {"--points", 0, "--points needs a value", apply_picture<POSTER_POINTS>},
    {"--seed", 0, "--seed needs a value", apply_picture<POSTER_SEED>},
    {"--background", 0, "--background needs a value", apply_picture<POSTER_BACKGROUND>},
    {"--shade", 0, "--shade needs a value", apply_picture<POSTER_SHADE>},
    {"--gamma", 0, "--gamma needs a value", apply_picture<POSTER_GAMMA>},
    {"--palette", 0, "--palette needs a value", apply_picture<POSTER_PALETTE>},
    {"--supersample", 0, "--supersample needs a value", apply_picture<POSTER_SUPERSAMPLE>},
    {"--threads", 0, "--threads needs a value", apply_picture<POSTER_THREADS>},
    {"--depth", 0, "--depth needs a value", apply_picture<POSTER_DEPTH>},
};

const Option* find_long(const std::string& name) {
  for (const Option& option : OPTIONS)
    if (name == option.name) return &option;
  return nullptr;
}

const Option* find_short(char letter) {
  for (const Option& option : OPTIONS)
    if (option.short_name != 0 && letter == option.short_name) return &option;
  return nullptr;
}

RenderOptions usage_error(std::string message) {
  RenderOptions options;
  options.mode = MODE_USAGE_ERROR;
  options.error = std::move(message);
  return options;
}

// The option at `index`, with its value taken from "--name=value", "-xvalue"
// or the next argument; an error message, empty when it was applied.
std::string read_option(const std::vector<std::string>& arguments, std::size_t& index, Parse& parse,
                        std::set<const Option*>& seen) {
  const std::string& argument = arguments[index];
  const bool long_form = argument.starts_with("--");
  const std::size_t equals = long_form ? argument.find('=') : std::string::npos;
  const Option* option = long_form ? find_long(argument.substr(0, equals)) : find_short(argument[1]);
  if (!option || (!long_form && !option->missing_value && argument.size() > 2)) return "unknown option " + argument;
  if (!seen.insert(option).second) return std::string(option->name) + " may be given only once";
  std::string value;
  if (option->missing_value) {
    if (equals != std::string::npos) value = argument.substr(equals + 1);
    else if (!long_form && argument.size() > 2) value = argument.substr(2);
    else if (index + 1 < arguments.size()) value = arguments[++index];
    else return option->missing_value;
  } else if (equals != std::string::npos) {
    return std::string(option->name) + " takes no value";
  }
  return option->apply(parse, value);
}

// The output's format: --format, or the extension of a named output; both
// must agree when both are there.
std::string settle_format(Parse& parse) {
  RenderOptions& options = parse.options;
  const std::uint32_t by_extension = render_format_for(options.output);
  if (options.output == STANDARD_STREAM) {
    return parse.given.format ? "" : "--output - needs --format png or --format bmp";
  }
  if (by_extension == 0) return "the output must end in .png or .bmp: " + options.output;
  if (parse.given.format && by_extension != options.format)
    return "--format and the extension of " + options.output + " disagree";
  options.format = by_extension;
  return {};
}

RenderOptions settle_list(Parse& parse) {
  const RenderOptions& options = parse.options;
  if (parse.given.output || !options.write_ifs.empty() || parse.given.batches || parse.given.format || parse.given.name)
    return usage_error("--list takes only the .ifs file whose tables it names");
  if (options.files.size() != 1) return usage_error("--list needs one .ifs file");
  parse.options.mode = MODE_LIST;
  return parse.options;
}

RenderOptions settle_desktop(Parse& parse) {
  if (parse.given.batches) return usage_error("--batches only applies with --output");
  if (parse.given.format) return usage_error("--format only applies with --output");
  if (parse.given.name) return usage_error("--name only applies with --output, --write-ifs or --list");
  return parse.options;
}

RenderOptions settle_render(Parse& parse) {
  RenderOptions& options = parse.options;
  if (options.files.size() > 1) return usage_error("give one .ifs file to render, not several");
  options.mode = MODE_RENDER;
  if (parse.given.output) {
    const std::string wrong = settle_format(parse);
    if (!wrong.empty()) return usage_error(wrong);
    if (options.output == STANDARD_STREAM && options.write_ifs == STANDARD_STREAM)
      return usage_error("--output and --write-ifs cannot both go to standard output");
  } else if (parse.given.batches || parse.given.format) {
    return usage_error(std::string(parse.given.batches ? "--batches" : "--format") + " only applies with --output");
  }
  if (options.files.empty())
    return usage_error(parse.given.output ? "--output needs a .ifs file to render" : "--write-ifs needs a .ifs file");
  return options;
}

}  // namespace

std::uint32_t render_format_for(const std::string& output) {
  if (output.size() < 4) return 0;
  const std::string extension = lower(output.substr(output.size() - 4));
  if (extension == ".png") return FORMAT_PNG;
  if (extension == ".bmp") return FORMAT_BMP;
  return 0;
}

RenderOptions render_options_parse(const std::vector<std::string>& arguments) {
  Parse parse;
  std::set<const Option*> seen;
  bool options_ended = false;
  for (std::size_t index = 0; index < arguments.size(); ++index) {
    const std::string& argument = arguments[index];
    if (options_ended || argument.empty() || argument[0] != '-' || argument == STANDARD_STREAM) {
      parse.options.files.push_back(argument);
    } else if (argument == "--") {
      options_ended = true;
    } else {
      const std::string wrong = read_option(arguments, index, parse, seen);
      if (!wrong.empty()) return usage_error(wrong);
      if (parse.options.mode == MODE_HELP || parse.options.mode == MODE_VERSION) return parse.options;
    }
  }
  RenderOptions settled = parse.given.list                                        ? settle_list(parse)
                          : !parse.given.output && parse.options.write_ifs.empty() ? settle_desktop(parse)
                                                                                   : settle_render(parse);
  if (settled.mode == MODE_USAGE_ERROR) return settled;
  if (std::string error = poster_settings_finish(settled.poster, parse.given.output, parse.given.batches,
                                                  settled.batches, settled.format == FORMAT_PNG);
      !error.empty())
    return usage_error(error);
  return settled;
}
