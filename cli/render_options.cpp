#include "cli/render_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>
#include <vector>

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
  bool thumbnail = false;
  int others = 0;  // options given besides --thumbnail
  bool all = false;
  bool rotate = false;
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

std::string apply_thumbnail(Parse& parse, const std::string& value) {
  parse.given.thumbnail = true;
  const std::int64_t size = value.size() <= 4 ? parse_batches(value) : -1;
  if (size < 1 || size > THUMBNAIL_MAX_SIZE)
    return "--thumbnail takes a size in pixels from 1 to " + std::to_string(THUMBNAIL_MAX_SIZE) + ", not \"" + value +
           "\"";
  parse.options.thumbnail_size = static_cast<int>(size);
  return {};
}

std::string apply_list(Parse& parse, const std::string&) {
  parse.given.list = true;
  return {};
}

std::string apply_all(Parse& parse, const std::string& value) {
  if (value.empty()) return "--all needs a folder";
  parse.options.all_folder = value;
  parse.given.all = true;
  return {};
}

// One angle in degrees: a plain decimal number within a full turn either way.
bool parse_angle(const std::string& text, double& angle) {
  if (text.empty() || text.size() > 32) return false;
  // Read whatever the locale says the decimal point is.
  const bool plain = text.find_first_not_of("0123456789.-") == std::string::npos;
  const char* end = text.data() + text.size();
  const std::from_chars_result read = std::from_chars(text.data(), end, angle);
  return plain && read.ec == std::errc() && read.ptr == end && angle >= -360.0 && angle <= 360.0;
}

std::string apply_rotate(Parse& parse, const std::string& value) {
  parse.given.rotate = true;
  std::size_t start = 0;
  for (int axis = 0; axis < 3; ++axis) {
    const std::size_t comma = value.find(',', start);
    const bool last = axis == 2;
    if (last != (comma == std::string::npos) ||
        !parse_angle(value.substr(start, last ? std::string::npos : comma - start), parse.options.rotation[axis]))
      return "--rotate takes YAW,PITCH,ROLL, three angles in degrees from -360 to 360, not \"" + value + "\"";
    start = comma + 1;
  }
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
    {"--thumbnail", 0, "--thumbnail needs a size in pixels", apply_thumbnail},
    {"--help", 'h', nullptr, apply_help},
    {"--version", 'V', nullptr, apply_version},
    {"--all", 0, "--all needs a folder", apply_all},
    {"--rotate", 0, "--rotate needs YAW,PITCH,ROLL", apply_rotate},
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
    // Views, the flame tone and colour maps.
    {"--view", 0, "--view needs XMIN,YMIN,XMAX,YMAX", apply_picture<POSTER_VIEW>},
    {"--brightness", 0, "--brightness needs a value", apply_picture<POSTER_BRIGHTNESS>},
    {"--vibrancy", 0, "--vibrancy needs a value", apply_picture<POSTER_VIBRANCY>},
    {"--colormap", 0, "--colormap needs the name of a colour map", apply_picture<POSTER_COLORMAP>},
};

// Edits (a letter replaced, added, left out, or two neighbours swapped) that
// make one spelling the other.
std::size_t option_spelling_distance(const std::string& a, const std::string& b) {
  const std::size_t columns = b.size() + 1;
  std::vector<std::size_t> d((a.size() + 1) * columns);
  for (std::size_t i = 0; i <= a.size(); ++i) d[i * columns] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t replace = d[(i - 1) * columns + j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      std::size_t best = std::min({replace, d[(i - 1) * columns + j] + 1, d[i * columns + j - 1] + 1});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        best = std::min(best, d[(i - 2) * columns + j - 2] + 1);
      d[i * columns + j] = best;
    }
  }
  return d[a.size() * columns + b.size()];
}

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

// "; did you mean --output?" for a long option one or two slips away from a
// known one (a letter wrong, missing, extra or two swapped), or a start
// that only one option has; empty otherwise.
std::string option_suggestion(const std::string& typed) {
  if (!typed.starts_with("--") || typed.size() < 4 || typed.size() > 40) return {};
  const Option* closest = nullptr;
  std::size_t closest_distance = 3;
  int starting_with_typed = 0;
  const Option* started = nullptr;
  for (const Option& option : OPTIONS) {
    const std::string name = option.name;
    if (name.starts_with(typed)) {
      ++starting_with_typed;
      started = &option;
    }
    const std::size_t distance = option_spelling_distance(typed, name);
    if (distance < closest_distance) {
      closest_distance = distance;
      closest = &option;
    }
  }
  if (starting_with_typed == 1) closest = started;
  // One slip in a short name already makes another word.
  if (!closest || (closest_distance == 2 && typed.size() < 7 && starting_with_typed != 1)) return {};
  return std::string("; did you mean ") + closest->name + "?";
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
  if (!option || (!long_form && !option->missing_value && argument.size() > 2))
    return "unknown option " + argument + option_suggestion(long_form ? argument.substr(0, equals) : argument);
  if (!seen.insert(option).second) return std::string(option->name) + " may be given only once";
  if (option->apply != apply_thumbnail) ++parse.given.others;
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
    if (!parse.given.format) options.format = FORMAT_PNG;  // the default picture format
    return {};
  }
  if (by_extension == 0) return "the output must end in .png or .bmp: " + options.output;
  if (parse.given.format && by_extension != options.format)
    return "--format and the extension of " + options.output + " disagree";
  options.format = by_extension;
  return {};
}

RenderOptions settle_list(Parse& parse) {
  const RenderOptions& options = parse.options;
  if (parse.given.output || !options.write_ifs.empty() || parse.given.batches || parse.given.format ||
      parse.given.name || parse.given.all || parse.given.rotate)
    return usage_error("--list takes only the .ifs file whose tables it names");
  if (options.files.size() != 1) return usage_error("--list needs one .ifs file");
  parse.options.mode = MODE_LIST;
  return parse.options;
}

// A file manager runs `--thumbnail SIZE FILE.ifs OUT`: nothing else belongs there.
RenderOptions settle_thumbnail(Parse& parse) {
  RenderOptions& options = parse.options;
  if (parse.given.others > 0) return usage_error("--thumbnail takes only its size, the .ifs file and the picture");
  if (options.files.size() != 2) return usage_error("--thumbnail needs the .ifs file and the picture to write");
  if (options.files[0] == STANDARD_STREAM || options.files[1] == STANDARD_STREAM)
    return usage_error("--thumbnail reads and writes named files, not standard input or output");
  options.output = options.files[1];
  options.files.pop_back();
  options.format = FORMAT_PNG;
  options.mode = MODE_THUMBNAIL;
  return options;
}

RenderOptions settle_all(Parse& parse) {
  const RenderOptions& options = parse.options;
  if (parse.given.output || !options.write_ifs.empty() || parse.given.name)
    return usage_error("--all writes every table; it takes no --output, --write-ifs or --name");
  if (options.files.size() != 1) return usage_error("--all needs one .ifs file");
  parse.options.mode = MODE_ALL;
  if (!parse.given.format) parse.options.format = FORMAT_PNG;
  return parse.options;
}

RenderOptions settle_desktop(Parse& parse) {
  if (parse.given.batches) return usage_error("--batches only applies with --output");
  if (parse.given.format) return usage_error("--format only applies with --output");
  if (parse.given.name && parse.options.files.size() != 1) return usage_error("--name needs one .ifs file");
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
  if (parse.given.thumbnail) return settle_thumbnail(parse);
  RenderOptions settled = parse.given.list                                        ? settle_list(parse)
                          : parse.given.all                                        ? settle_all(parse)
                          : !parse.given.output && parse.options.write_ifs.empty() ? settle_desktop(parse)
                                                                                   : settle_render(parse);
  if (settled.mode == MODE_USAGE_ERROR) return settled;
  const bool draws_pictures = parse.given.output || parse.given.all;
  if (std::string error = poster_settings_finish(settled.poster, draws_pictures, parse.given.batches,
                                                  settled.batches, settled.format == FORMAT_PNG);
      !error.empty())
    return usage_error(error);
  return settled;
}
