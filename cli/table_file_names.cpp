#include "cli/table_file_names.h"

#include <set>

namespace {

bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool is_kept_ascii(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' ||
         c == u'_' || c == u'.';
}

char16_t fold(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

std::u16string folded(std::u16string_view text) {
  std::u16string result(text);
  for (char16_t& c : result) c = fold(c);
  return result;
}

std::size_t utf8_bytes(char16_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : 3; }

// Characters kept or replaced, cut at TABLE_FILE_STEM_BYTES without splitting a pair.
std::u16string safe_characters(std::u16string_view name) {
  std::u16string safe;
  std::size_t bytes = 0;
  for (std::size_t at = 0; at < name.size(); ++at) {
    const char16_t c = name[at];
    const bool pair = is_high_surrogate(c) && at + 1 < name.size() && is_low_surrogate(name[at + 1]);
    const std::size_t size = pair ? 4 : utf8_bytes(c);
    if (bytes + size > TABLE_FILE_STEM_BYTES) break;
    bytes += size;
    if (pair) {
      safe += name.substr(at, 2);
      ++at;
    } else if (is_kept_ascii(c) || (c >= 0xA0 && !is_high_surrogate(c) && !is_low_surrogate(c))) {
      safe += c;
    } else {
      safe += u'_';
    }
  }
  return safe;
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices on Windows, whatever follows a dot.
bool is_device_name(std::u16string_view stem) {
  const std::u16string head = folded(stem.substr(0, stem.find(u'.')));
  if (head == u"con" || head == u"prn" || head == u"aux" || head == u"nul") return true;
  return head.size() == 4 && (head.starts_with(u"com") || head.starts_with(u"lpt")) && head[3] >= u'1' &&
         head[3] <= u'9';
}

std::u16string safe_stem(std::u16string_view name) {
  std::u16string stem = safe_characters(name);
  if (stem.empty()) return u"table";
  if (stem.front() == u'.') stem.front() = u'_';  // neither hidden nor "." or ".."
  if (is_device_name(stem)) stem.insert(stem.begin(), u'_');
  return stem;
}

std::u16string number_text(std::size_t number) {
  const std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::vector<std::u16string> table_file_names(const std::vector<std::u16string>& names, std::u16string_view extension) {
  std::vector<std::u16string> files;
  std::set<std::u16string> taken;  // folded, with the extension
  for (const std::u16string& name : names) {
    const std::u16string stem = safe_stem(name);
    std::u16string file = stem + std::u16string(extension);
    for (std::size_t number = 2; !taken.insert(folded(file)).second; ++number)
      file = stem + u"-" + number_text(number) + std::u16string(extension);
    files.push_back(std::move(file));
  }
  return files;
}
