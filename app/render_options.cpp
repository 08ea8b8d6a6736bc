#include "app/render_options.h"

#include <algorithm>
#include <cctype>

#include "runtime/graphics/encoder_table.h"

namespace {

RenderOptions usage_error(std::string message) {
  RenderOptions options;
  options.mode = MODE_USAGE_ERROR;
  options.error = std::move(message);
  return options;
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Digits only, at most MAX_BATCHES; -1 otherwise.
std::int64_t parse_batches(const std::string& text) {
  if (text.empty() || text.size() > 10) return -1;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value <= MAX_BATCHES ? value : -1;
}

// "--name=value" or "--name value"; false when the value is missing.
bool option_value(const std::vector<std::string>& arguments, std::size_t& index, const std::string& name,
                  std::string& value) {
  const std::string& argument = arguments[index];
  if (argument.size() > name.size() && argument[name.size()] == '=') {
    value = argument.substr(name.size() + 1);
    return true;
  }
  if (index + 1 >= arguments.size()) return false;
  value = arguments[++index];
  return true;
}

bool is_option(const std::string& argument, const std::string& name) {
  return argument == name || argument.starts_with(name + "=");
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
  RenderOptions options;
  bool has_output = false;
  bool batches_given = false;
  bool options_ended = false;
  for (std::size_t index = 0; index < arguments.size(); ++index) {
    const std::string& argument = arguments[index];
    if (options_ended || argument.empty() || argument[0] != '-' || argument == "-") {
      options.files.push_back(argument);
    } else if (argument == "--") {
      options_ended = true;
    } else if (argument == "--help" || argument == "-h") {
      options.mode = MODE_HELP;
      return options;
    } else if (argument == "--version") {
      options.mode = MODE_VERSION;
      return options;
    } else if (is_option(argument, "--output")) {
      if (!option_value(arguments, index, "--output", options.output) || options.output.empty())
        return usage_error("--output needs a file name");
      has_output = true;
    } else if (is_option(argument, "--batches")) {
      std::string value;
      if (!option_value(arguments, index, "--batches", value)) return usage_error("--batches needs a number");
      options.batches = parse_batches(value);
      batches_given = true;
      if (options.batches < 0)
        return usage_error("--batches takes a whole number from 0 to " + std::to_string(MAX_BATCHES) + ", not \"" +
                           value + "\"");
    } else if (std::string error; quality_option_take(arguments, index, options.quality, error) != QUALITY_NOT_MINE) {
      if (!error.empty()) return usage_error(error);
    } else {
      return usage_error("unknown option " + argument);
    }
  }
  if (std::string error = quality_settings_finish(options.quality, has_output, batches_given, options.batches,
                                                  render_format_for(options.output) == FORMAT_PNG);
      !error.empty())
    return usage_error(error);
  if (!has_output) {
    if (batches_given) return usage_error("--batches only applies with --output");
    return options;
  }
  if (options.files.size() > 1) return usage_error("give one .ifs file to render, not several");
  options.mode = MODE_RENDER;
  options.format = render_format_for(options.output);
  if (options.format == 0) return usage_error("the output must end in .png or .bmp: " + options.output);
  if (options.files.empty()) return usage_error("--output needs a .ifs file to render");
  return options;
}
