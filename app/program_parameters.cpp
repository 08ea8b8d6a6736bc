#include "app/program_parameters.h"

#include "platform/win32/kernel32.h"
#include "runtime/core/text.h"

namespace {

constexpr char16_t SPACE = u' ';
constexpr char16_t QUOTE = u'"';
constexpr std::u16string_view END_OF_OPTIONS = u"--";

std::int32_t parameter_cursor = 0;

// A quoted token runs to the closing quote or the end of the line; inside it
// two quotes in a row stand for one quote, as Microsoft's C runtime reads them,
// so that a parameter holding both a quote and a space can be passed at all.
std::u16string quoted_token(std::u16string_view line, std::size_t& start) {
  std::u16string token;
  std::size_t position = start + 1;
  while (position < line.size()) {
    if (line[position] != QUOTE) {
      token += line[position++];
    } else if (position + 1 < line.size() && line[position + 1] == QUOTE) {
      token += QUOTE;
      position += 2;
    } else {
      ++position;  // the closing quote
      break;
    }
  }
  start = position;
  return token;
}

// The token starting at `start` (not a space); `start` moves past it.
std::u16string next_token(std::u16string_view line, std::size_t& start) {
  if (line[start] == QUOTE) return quoted_token(line, start);
  const std::size_t space = line.find(SPACE, start);
  const std::size_t end = space == std::u16string_view::npos ? line.size() : space;
  std::u16string token(line.substr(start, end - start));
  start = end;
  return token;
}

std::vector<std::u16string> parameters_of_this_process() {
  std::vector<std::u16string> tokens = program_parameters_split(text_view(GetCommandLineW()));
  if (!tokens.empty()) tokens.erase(tokens.begin());  // the program's own path
  return tokens;
}

}  // namespace

std::vector<std::u16string> program_parameters_split(std::u16string_view line) {
  std::vector<std::u16string> tokens;
  std::size_t position = 0;
  while (true) {
    while (position < line.size() && line[position] == SPACE) ++position;
    if (position >= line.size()) break;
    tokens.push_back(next_token(line, position));
  }
  return tokens;
}

void program_parameters_reset() { parameter_cursor = 0; }

std::int32_t program_parameter_count() { return static_cast<std::int32_t>(parameters_of_this_process().size()); }

std::u16string program_parameter(std::int32_t index) {
  if (index >= 0) parameter_cursor = index;
  const std::vector<std::u16string> parameters = parameters_of_this_process();
  const std::int32_t at = parameter_cursor;
  if (parameter_cursor < INT32_MAX) ++parameter_cursor;
  if (at < 0 || static_cast<std::size_t>(at) >= parameters.size()) return {};
  return parameters[static_cast<std::size_t>(at)];
}

std::optional<std::u16string> program_file_parameter() {
  const std::int32_t count = program_parameter_count();
  if (count == 0) return std::nullopt;
  std::u16string first = program_parameter(0);
  if (first != END_OF_OPTIONS) return first;
  if (count == 1) return std::nullopt;
  return program_parameter(1);
}
