// The size of a file by name, telling missing files and directories apart.
#include <string>

#include "platform/win32/kernel32.h"
#include "runtime/file/file.h"

namespace {

constexpr std::int64_t NOT_FOUND = -1;
constexpr std::int64_t DIRECTORY = -2;

bool is_separator(char16_t unit) { return unit == u'\\' || unit == u'/'; }

// "C:" or "C:\": a drive root, which the platform may know as a drive.
bool names_existing_drive(const std::u16string& name) {
  if ((name.size() != 2 && name.size() != 3) || name[1] != u':') return false;
  std::u16string root = name;
  if (root.size() == 2) root += u'\\';
  return GetDriveTypeW(root.c_str()) > DRIVE_NO_ROOT_DIR;
}

// Never strips the name to nothing: "/" stays the root.
void strip_trailing_separators(std::u16string& name) {
  while (name.size() > 1 && is_separator(name.back())) name.pop_back();
}

bool is_root(const std::u16string& name) { return name.size() == 1 && name[0] == u'/'; }

// A name holding "*" or "?" is searched as a pattern; only the entry of
// exactly that name is the file meant, never another that matches.
bool found_the_named_entry(const std::u16string& name, const WIN32_FIND_DATAW& entry) {
  const std::size_t slash = name.find_last_of(u"/\\");
  const std::u16string_view last = std::u16string_view(name).substr(slash == std::u16string::npos ? 0 : slash + 1);
  return last.find_first_of(u"*?") == std::u16string_view::npos || last == entry.cFileName;
}

std::int64_t size_of_entry(const WIN32_FIND_DATAW& entry) {
  if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return DIRECTORY;
  return static_cast<std::int64_t>(entry.nFileSizeHigh) << 32 | entry.nFileSizeLow;
}

// Network paths and names starting with ".." that the search cannot list.
std::int64_t size_by_attributes(const std::u16string& name) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return attributes & FILE_ATTRIBUTE_DIRECTORY ? DIRECTORY : NOT_FOUND;
  return GetDriveTypeW(name.c_str()) > DRIVE_NO_ROOT_DIR ? DIRECTORY : NOT_FOUND;
}

}  // namespace

std::int64_t file_size(const char16_t* name) {
  if (!name || !*name) return NOT_FOUND;
  std::u16string path(name);
  if (names_existing_drive(path)) return DIRECTORY;
  strip_trailing_separators(path);
  if (is_root(path)) return DIRECTORY;

  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW(path.c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    FindClose(search);
    if (found_the_named_entry(path, entry)) return size_of_entry(entry);
    // Only a sibling matched the name as a pattern: let the system say why the
    // named file itself is not there.
    GetFileAttributesW(path.c_str());
    return NOT_FOUND;
  }
  if (path.starts_with(u"\\\\") || path.starts_with(u"..")) return size_by_attributes(path);
  return NOT_FOUND;
}
