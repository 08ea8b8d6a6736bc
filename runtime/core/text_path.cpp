// Joining texts and taking the directory part of a path.
#include "runtime/core/text.h"

#include "platform/win32/path_separators.h"

std::u16string text_concat_list(std::initializer_list<std::u16string_view> texts) {
  std::size_t total = 0;
  for (std::u16string_view text : texts) total += text.size();
  std::u16string joined;
  joined.reserve(total);
  for (std::u16string_view text : texts) joined += text;
  return joined;
}

std::u16string path_part(std::u16string_view path) {
  if (!path.empty() && path.front() == u'"') path.remove_prefix(1);
  path = path.substr(0, path.find(u'|'));
  std::size_t last_separator = path.find_last_of(u"/\\");
  if (last_separator == std::u16string_view::npos) return {};
  return std::u16string(path.substr(0, last_separator + 1));
}

std::size_t path_last_separator(std::u16string_view path) {
  for (std::size_t index = path.size(); index-- > 0;)
    if (kernel32_is_path_separator(path[index])) return index;
  return std::u16string_view::npos;
}
