#include "runtime/gui/requester_paths.h"

#include "runtime/core/text.h"

namespace {

constexpr char16_t PATTERN_SEPARATOR = u'|';
constexpr std::u16string_view FORBIDDEN_NAME_UNITS = u"\"*/:<>?\\|";

std::u16string clipped_name(std::u16string_view name) {
  return std::u16string(name.substr(0, REQUESTER_NAME_CAPACITY - 1));
}

}  // namespace

std::u16string requester_filter(std::u16string_view pattern) {
  std::u16string filter(pattern);
  for (char16_t& unit : filter)
    if (unit == PATTERN_SEPARATOR) unit = 0;
  // The list ends with an empty entry: one more zero after the last one.
  filter.push_back(0);
  return filter;
}

bool file_name_is_valid(std::u16string_view name) {
  if (name.empty()) return false;
  for (char16_t unit : name)
    if (unit < 32 || FORBIDDEN_NAME_UNITS.find(unit) != std::u16string_view::npos) return false;
  return true;
}

RequesterDefaultPath requester_split_default(std::u16string_view default_file) {
  RequesterDefaultPath split;
  const std::size_t separator = path_last_separator(default_file);
  if (separator == std::u16string_view::npos) {
    split.name = clipped_name(default_file);
  } else {
    // A root keeps its separator: "/" or "C:\" without it would name no
    // folder, or the drive's current one.
    const bool root = separator == 0 || default_file[separator - 1] == u':';
    split.directory = std::u16string(default_file.substr(0, root ? separator + 1 : separator));
    split.name = clipped_name(default_file.substr(separator + 1));
  }
  if (!file_name_is_valid(split.name)) split.name.clear();
  return split;
}
