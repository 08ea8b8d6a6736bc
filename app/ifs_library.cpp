#include "app/ifs_library.h"

#include "app/number_field.h"

#include <string>

namespace {

constexpr std::size_t NUMBERS_PER_MAP_2D = 7;
constexpr std::size_t NUMBERS_PER_MAP_3D = 13;

bool is_white_space(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
bool is_brace(char16_t c) { return c == u'{' || c == u'}'; }

std::u16string_view without_comment(std::u16string_view line) {
  const std::size_t semicolon = line.find(u';');
  return semicolon == std::u16string_view::npos ? line : line.substr(0, semicolon);
}

void skip_white_space(std::u16string_view text, std::size_t& at) {
  while (at < text.size() && is_white_space(text[at])) ++at;
}

// Words split at white space, each brace a word of its own.
std::vector<std::u16string_view> words_of(std::u16string_view text) {
  std::vector<std::u16string_view> words;
  std::size_t at = 0;
  for (skip_white_space(text, at); at < text.size(); skip_white_space(text, at)) {
    const std::size_t start = at;
    if (is_brace(text[at])) {
      ++at;
    } else {
      while (at < text.size() && !is_white_space(text[at]) && !is_brace(text[at])) ++at;
    }
    words.push_back(text.substr(start, at - start));
  }
  return words;
}

std::u16string quoted(std::u16string_view text) { return u"\"" + std::u16string(text) + u"\""; }

std::u16string count_text(std::size_t count) {
  const std::string digits = std::to_string(count);
  return std::u16string(digits.begin(), digits.end());
}

struct Header {
  std::u16string_view name;
  std::u16string_view options;
  std::u16string_view rest;  // what follows the opening brace
};

// `NAME {` or `NAME (options) {`, white space allowed around each part.
bool parse_header(std::u16string_view line, Header& header) {
  const std::u16string_view text = without_comment(line);
  std::size_t at = 0;
  skip_white_space(text, at);
  const std::size_t name_start = at;
  while (at < text.size() && !is_white_space(text[at]) && !is_brace(text[at]) && text[at] != u'(' &&
         text[at] != u')')
    ++at;
  if (at == name_start) return false;
  header.name = text.substr(name_start, at - name_start);
  skip_white_space(text, at);
  header.options = {};
  if (at < text.size() && text[at] == u'(') {
    const std::size_t close = text.find(u')', at);
    if (close == std::u16string_view::npos) return false;
    header.options = text.substr(at + 1, close - at - 1);
    at = close + 1;
    skip_white_space(text, at);
  }
  if (at >= text.size() || text[at] != u'{') return false;
  header.rest = text.substr(at + 1);
  return true;
}


}  // namespace

bool ifs_library_is_header(std::u16string_view line) {
  Header header;
  return parse_header(line, header);
}

bool ifs_library_is_spaced_header(std::u16string_view line) {
  if (ifs_library_is_header(line)) return false;
  const std::vector<std::u16string_view> words = words_of(without_comment(line));
  return words.size() >= 3 && words.back() == u"{" && !number_field_is_number(words.front()) &&
         words.front() != u"{" && words.front() != u"}";
}

bool ifs_library_is_blank(std::u16string_view line) {
  for (const char16_t c : without_comment(line))
    if (!is_white_space(c)) return false;
  return true;
}

void IfsLibraryReader::read_line(std::u16string_view line) {
  ++line_;
  if (library_.fault.line != 0) return;
  Header header;
  if (parse_header(line, header)) {
    if (open_) fault(u"\"}\" to end block " + quoted(block().name) + u" before the next block");
    begin_block(header.name, header.options);
    read_body(header.rest);
  } else if (open_) {
    read_body(without_comment(line));
  } else if (!ifs_library_is_blank(line)) {
    library_.fault = {line_, u"a block NAME { ... }, not " + quoted(without_comment(line))};
  }
}

IfsLibrary IfsLibraryReader::finish() {
  if (open_ && library_.fault.line == 0)
    fault(u"\"}\" to end block " + quoted(block().name) + u", not the end of the file");
  open_ = false;
  return std::move(library_);
}

void IfsLibraryReader::begin_block(std::u16string_view name, std::u16string_view options) {
  IfsBlock added;
  added.name = std::u16string(name);
  added.line = line_;
  library_.blocks.push_back(std::move(added));
  open_ = true;
  for (const std::u16string_view option : words_of(options)) {
    if (number_field_words_equal(option, u"3D")) block().three_d = true;
    else fault(u"the option (3D) or none, not " + quoted(option));
  }
}

// Numbers of at most one map, possibly followed by the closing brace.
void IfsLibraryReader::read_body(std::u16string_view text) {
  const std::vector<std::u16string_view> words = words_of(text);
  std::vector<std::u16string_view> numbers;
  bool all_numbers = true;
  std::size_t index = 0;
  for (; index < words.size() && words[index] != u"}"; ++index) {
    if (!number_field_is_decimal(words[index]) && all_numbers) {
      fault(u"a number, not " + quoted(words[index]));
      all_numbers = false;
    }
    numbers.push_back(words[index]);
  }
  if (all_numbers) add_map(numbers);
  if (index == words.size()) return;
  if (index + 1 < words.size()) fault(u"nothing after \"}\", not " + quoted(words[index + 1]));
  if (block().maps.empty()) fault(u"at least one map before \"}\"");
  open_ = false;
}

void IfsLibraryReader::add_map(const std::vector<std::u16string_view>& numbers) {
  if (numbers.empty() || block().fault.line != 0) return;
  const std::size_t wanted = block().three_d ? NUMBERS_PER_MAP_3D : NUMBERS_PER_MAP_2D;
  if (numbers.size() != wanted) {
    const std::u16string wanted_text = block().three_d ? u"thirteen numbers" : u"seven numbers a b c d e f p";
    fault(wanted_text + u" on one line, not " + count_text(numbers.size()));
    return;
  }
  std::u16string map;
  for (const std::u16string_view value : numbers) {
    if (!map.empty()) map += u' ';
    map += value;
  }
  block().maps.push_back(std::move(map));
}

// Only the first fault of a block counts.
void IfsLibraryReader::fault(std::u16string expected) {
  if (block().fault.line == 0) block().fault = {line_, std::move(expected)};
}

IfsLibrary ifs_library_parse(const std::vector<std::u16string>& lines) {
  IfsLibraryReader reader;
  for (const std::u16string& line : lines) reader.read_line(line);
  return reader.finish();
}

const IfsBlock* ifs_library_find(const IfsLibrary& library, std::u16string_view name) {
  if (library.blocks.empty()) return nullptr;
  if (name.empty()) return &library.blocks.front();
  for (const IfsBlock& block : library.blocks)
    if (block.name == name) return &block;
  return nullptr;
}
