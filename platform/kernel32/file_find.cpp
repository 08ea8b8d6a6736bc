// FindFirstFileW and FindClose. A name finds that entry itself when it
// exists; "/" and a name ending in "/" find the folder they name; otherwise
// "*" and "?" in the last component match the entries of its folder.
#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <string_view>

#include "platform/kernel32/file_attributes.h"
#include "platform/kernel32/handle_table.h"
#include "platform/kernel32/path_names.h"
#include "platform/kernel32/text_conversion.h"
#include "platform/win32/kernel32.h"

namespace {

struct FileSearch : KernelObject {};

struct SplitName {
  std::string folder;   // where to look, "." for a bare name
  std::string pattern;  // last component; empty when the name is a folder itself
};

SplitName split_name(const std::string& path) {
  if (path.back() == '/') return {path, ""};
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

bool has_wildcards(std::string_view pattern) { return pattern.find_first_of("*?") != std::string_view::npos; }

// Win32 matching on UTF-16 code units: "*" any run, "?" any one unit; "*.*"
// matches every name, with or without a dot.
bool wildcard_match(std::u16string_view pattern, std::u16string_view name) {
  if (pattern == u"*.*") return true;
  std::size_t p = 0, n = 0, star = std::u16string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      resume = n;
    } else if (star != std::u16string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

bool fill_find_data(const std::string& path, std::string_view entry_name, WIN32_FIND_DATAW& data) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return false;
  std::u16string wide_name = bytes_to_utf16(entry_name);
  if (wide_name.size() >= MAX_PATH) {
    errno = ENAMETOOLONG;
    return false;
  }
  std::memset(&data, 0, sizeof data);
  data.dwFileAttributes = file_attributes_of(status, entry_name);
  data.ftCreationTime = file_time_of(status.st_mtim);  // Linux keeps no creation time in stat
  data.ftLastAccessTime = file_time_of(status.st_atim);
  data.ftLastWriteTime = file_time_of(status.st_mtim);
  auto size = S_ISDIR(status.st_mode) ? 0 : static_cast<std::uint64_t>(status.st_size);
  data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  wide_name.copy(data.cFileName, wide_name.size());
  return true;
}

std::string folder_entry_name(const std::string& folder) {
  std::string_view name = folder;
  while (name.size() > 1 && name.back() == '/') name.remove_suffix(1);
  std::size_t slash = name.rfind('/');
  return std::string(slash == std::string_view::npos || name.size() == 1 ? name : name.substr(slash + 1));
}

std::string joined(const std::string& folder, std::string_view entry) {
  return folder.back() == '/' ? folder + std::string(entry) : folder + "/" + std::string(entry);
}

// The first entry of the folder that matches the pattern.
bool find_matching_entry(const SplitName& name, WIN32_FIND_DATAW& data) {
  DIR* folder = ::opendir(name.folder.c_str());
  if (!folder) return false;
  std::u16string pattern = bytes_to_utf16(name.pattern);
  bool found = false;
  while (dirent* entry = ::readdir(folder)) {
    if (!wildcard_match(pattern, bytes_to_utf16(entry->d_name))) continue;
    if (fill_find_data(joined(name.folder, entry->d_name), entry->d_name, data)) {
      found = true;
      break;
    }
  }
  ::closedir(folder);
  if (!found) errno = ENOENT;
  return found;
}

bool find_entry(const std::string& path, WIN32_FIND_DATAW& data) {
  SplitName name = split_name(path);
  if (name.pattern.empty()) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return false;
    if (!S_ISDIR(status.st_mode)) {
      errno = ENOTDIR;
      return false;
    }
    return fill_find_data(path, folder_entry_name(path), data);
  }
  // Linux names may hold "*" and "?": an entry of exactly that name is the
  // one meant (it matches the pattern too), so it is found first.
  if (fill_find_data(path, name.pattern, data)) return true;
  if (!has_wildcards(name.pattern)) return false;
  return find_matching_entry(name, data);
}

}  // namespace

HANDLE FindFirstFileW(LPCWSTR name, LPWIN32_FIND_DATAW data) {
  std::string path;
  if (!path_to_utf8(name, path)) return INVALID_HANDLE_VALUE;
  if (!data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if (!find_entry(path, *data)) {
    set_last_error_for_path(path);
    return INVALID_HANDLE_VALUE;
  }
  std::shared_ptr<FileSearch> search = kernel_object_create<FileSearch>();
  HANDLE handle = search ? handle_table_insert(search) : nullptr;
  return handle ? handle : INVALID_HANDLE_VALUE;
}

BOOL FindClose(HANDLE search) { return handle_table_remove_as<FileSearch>(search) ? TRUE : FALSE; }
