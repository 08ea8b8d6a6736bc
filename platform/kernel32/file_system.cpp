// Names in the file system: delete, move, attributes, drive type, folders,
// the current directory and the temporary folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/kernel32/errno_mapping.h"
#include "platform/kernel32/file_attributes.h"
#include "platform/kernel32/file_sync.h"
#include "platform/kernel32/interrupt_cleanup.h"
#include "platform/kernel32/path_names.h"
#include "platform/kernel32/text_conversion.h"
#include "platform/win32/kernel32.h"

namespace {

BOOL fail_from_errno() {
  set_last_error_from_errno();
  return FALSE;
}

BOOL fail_with(DWORD error) {
  SetLastError(error);
  return FALSE;
}

std::string_view last_component(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos || path.size() == 1 ? path : path.substr(slash + 1);
}

bool is_directory(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// rename() that refuses to replace an existing target, atomically where the
// file system supports it.
int rename_without_replacing(const std::string& from, const std::string& to) {
  int result = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  if (result == 0 || (errno != EINVAL && errno != ENOSYS)) return result;
  struct stat status {};
  if (::lstat(to.c_str(), &status) == 0) {
    errno = EEXIST;
    return -1;
  }
  return ::rename(from.c_str(), to.c_str());
}

}  // namespace

BOOL DeleteFileW(LPCWSTR name) {
  std::string path;
  if (!path_to_utf8(name, path)) return FALSE;
  // unlink() reports EISDIR for a folder, which maps to Win32's ERROR_ACCESS_DENIED.
  if (::unlink(path.c_str()) == 0) {
    interrupt_cleanup_forget(path);
    return TRUE;
  }
  set_last_error_for_path(path);
  return FALSE;
}

BOOL MoveFileExW(LPCWSTR existing, LPCWSTR replacement, DWORD flags) {
  std::string from;
  std::string to;
  if (!path_to_utf8(existing, from)) return FALSE;
  if (!replacement) return fail_with(ERROR_INVALID_PARAMETER);  // no delayed deletes here
  if (!path_to_utf8(replacement, to)) return FALSE;
  if (!(flags & MOVEFILE_REPLACE_EXISTING)) {
    if (rename_without_replacing(from, to) != 0)
      return errno == EEXIST ? fail_with(ERROR_ALREADY_EXISTS) : fail_from_errno();
  } else {
    // Win32 never replaces a folder, even an empty one.
    if (is_directory(to)) return fail_with(ERROR_ACCESS_DENIED);
    if (::rename(from.c_str(), to.c_str()) != 0) return fail_from_errno();
  }
  interrupt_cleanup_forget(from);
  if ((flags & MOVEFILE_WRITE_THROUGH) && !sync_folder_of(to)) return fail_from_errno();
  return TRUE;
}

DWORD GetFileAttributesW(LPCWSTR name) {
  std::string path;
  if (!path_to_utf8(name, path)) return INVALID_FILE_ATTRIBUTES;
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    set_last_error_for_path(path);
    return INVALID_FILE_ATTRIBUTES;
  }
  return file_attributes_of(status, last_component(path));
}

// Linux has one root and no drive letters: "/" is a fixed drive, and so is
// the root of the current directory (a null root); nothing else is a root.
UINT GetDriveTypeW(LPCWSTR root) {
  if (!root) return DRIVE_FIXED;
  return std::u16string_view(root) == u"/" ? DRIVE_FIXED : DRIVE_NO_ROOT_DIR;
}

DWORD GetCurrentDirectoryW(DWORD buffer_length, LPWSTR buffer) {
  char* current = ::getcwd(nullptr, 0);
  if (!current) {
    set_last_error_from_errno();
    return 0;
  }
  std::u16string directory = bytes_to_utf16(current);
  std::free(current);
  auto length = static_cast<DWORD>(directory.size());
  // Too small: the size needed, terminator included; the buffer is untouched.
  if (!buffer || buffer_length <= length) return length + 1;
  directory.copy(buffer, directory.size());
  buffer[length] = 0;
  return length;
}

BOOL SetCurrentDirectoryW(LPCWSTR path_name) {
  std::string path;
  if (!path_to_utf8(path_name, path)) return FALSE;
  return ::chdir(path.c_str()) == 0 ? TRUE : fail_from_errno();
}

BOOL CreateDirectoryW(LPCWSTR path_name, LPSECURITY_ATTRIBUTES) {
  std::string path;
  if (!path_to_utf8(path_name, path)) return FALSE;
  if (::mkdir(path.c_str(), 0777) == 0) return TRUE;
  // Win32 names any taken name, file or folder, "already exists".
  if (errno == EEXIST) return fail_with(ERROR_ALREADY_EXISTS);
  if (errno == ENOENT) return fail_with(ERROR_PATH_NOT_FOUND);
  return fail_from_errno();
}

BOOL RemoveDirectoryW(LPCWSTR path_name) {
  std::string path;
  if (!path_to_utf8(path_name, path)) return FALSE;
  if (::rmdir(path.c_str()) == 0) return TRUE;
  if (errno == ENOTEMPTY || errno == EEXIST) return fail_with(ERROR_DIR_NOT_EMPTY);
  if (errno == ENOTDIR) return fail_with(ERROR_DIRECTORY);
  set_last_error_for_path(path);
  return FALSE;
}

DWORD GetTempPathW(DWORD buffer_length, LPWSTR buffer) {
  const char* root = std::getenv("TMPDIR");
  std::u16string folder = bytes_to_utf16(root && *root ? root : "/tmp");
  if (folder.back() != u'/') folder += u'/';
  auto length = static_cast<DWORD>(folder.size());
  if (!buffer || buffer_length <= length) return length + 1;
  folder.copy(buffer, folder.size());
  buffer[length] = 0;
  return length;
}
