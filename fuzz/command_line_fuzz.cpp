// The command line and file names: arguments (the input split at zero bytes)
// go through the option parser, through the platform's command line and the
// shell's parameter split, and through the name conversions and the terminal
// escaping. Each must hold its promise for any bytes: every argument comes
// back whole, every name round-trips, nothing printed can control a terminal.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/offscreen_render.h"
#include "app/program_parameters.h"
#include "cli/render_options.h"
#include "cli/terminal_text.h"
#include "platform/kernel32/command_line.h"
#include "platform/kernel32/text_conversion.h"
#include "runtime/graphics/encoder_table.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

std::vector<std::string> split_at_zero(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) arguments.emplace_back();
    else arguments.back() += static_cast<char>(data[i]);
  }
  return arguments;
}

void check_options(const std::vector<std::string>& arguments) {
  const RenderOptions options = render_options_parse(arguments);
  switch (options.mode) {
    case MODE_USAGE_ERROR: check(!options.error.empty()); break;
    case MODE_RENDER:
      // A --write-ifs-only run has no picture, and so no format.
      check(options.files.size() == 1 && (!options.output.empty() || !options.write_ifs.empty()));
      check(options.output.empty() || options.format == FORMAT_PNG || options.format == FORMAT_BMP);
      check(options.batches >= 0 && options.batches <= MAX_BATCHES);
      break;
    default: break;
  }
}

void check_round_trips(const std::vector<std::string>& arguments) {
  const std::vector<std::u16string> tokens = program_parameters_split(command_line_from_arguments(arguments));
  check(tokens.size() == arguments.size());
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    check(tokens[i] == bytes_to_utf16(arguments[i]));
    std::string bytes;
    check(utf16_to_bytes(tokens[i], bytes) && bytes == arguments[i]);
  }
}

void check_terminal_text(const std::string& argument) {
  const std::string shown = terminal_text(bytes_to_utf16(argument));
  for (unsigned char byte : shown) check(byte >= 0x20 && byte != 0x7F);
  bool invalid = false;
  utf16_to_utf8(bytes_to_utf16(shown), &invalid);
  check(!invalid);  // valid UTF-8 only: no stray byte reaches the terminal
  for (std::size_t at = 0; at + 1 < shown.size(); ++at)
    check(!(static_cast<unsigned char>(shown[at]) == 0xC2 && static_cast<unsigned char>(shown[at + 1]) < 0xA0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> arguments = split_at_zero(data, size);
  check_options(arguments);
  check_round_trips(arguments);
  for (const std::string& argument : arguments) check_terminal_text(argument);
  // Messages that need no render: help, version and usage errors.
  const RenderOptions options = render_options_parse(arguments);
  if (options.mode == MODE_HELP || options.mode == MODE_VERSION || options.mode == MODE_USAGE_ERROR) {
    static std::FILE* sink = std::fopen("/dev/null", "w");
    check(ifs_render_main(arguments, sink, sink) == (options.mode == MODE_USAGE_ERROR ? EXIT_USAGE : 0));
  }
  return 0;
}
