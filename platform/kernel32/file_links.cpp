// CreateHardLinkW: link(), or for an unnamed file that this process holds,
// linkat() of its descriptor, which gives it its first name.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

#include "platform/kernel32/errno_mapping.h"
#include "platform/kernel32/handle_table.h"
#include "platform/kernel32/open_file.h"
#include "platform/kernel32/path_names.h"
#include "platform/win32/kernel32.h"

namespace {

std::shared_ptr<OpenFile> unnamed_file_called(const std::string& path) {
  return std::static_pointer_cast<OpenFile>(handle_table_search([&](const KernelObject& object) {
    const auto* file = dynamic_cast<const OpenFile*>(&object);
    return file != nullptr && file->descriptor >= 0 && file->unnamed_path == path;
  }));
}

// Through /proc, which any user may do; AT_EMPTY_PATH where /proc is not
// mounted (it needs a privilege there).
int link_descriptor(int descriptor, const std::string& new_path) {
  const std::string by_number = "/proc/self/fd/" + std::to_string(descriptor);
  if (::linkat(AT_FDCWD, by_number.c_str(), AT_FDCWD, new_path.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
  if (errno != ENOENT || ::access("/proc/self/fd", F_OK) == 0) return -1;
  return ::linkat(descriptor, "", AT_FDCWD, new_path.c_str(), AT_EMPTY_PATH);
}

}  // namespace

BOOL CreateHardLinkW(LPCWSTR new_name, LPCWSTR existing_name, LPSECURITY_ATTRIBUTES) {
  std::string new_path;
  std::string existing_path;
  if (!path_to_utf8(new_name, new_path) || !path_to_utf8(existing_name, existing_path)) return FALSE;
  const std::shared_ptr<OpenFile> unnamed = unnamed_file_called(existing_path);
  const int result =
      unnamed ? link_descriptor(unnamed->descriptor, new_path) : ::link(existing_path.c_str(), new_path.c_str());
  if (result == 0) return TRUE;
  // Win32 says a taken name is "already exists", not "file exists".
  if (errno == EEXIST) set_last_error_with_errno(ERROR_ALREADY_EXISTS, EEXIST);
  else set_last_error_for_path(new_path);
  return FALSE;
}
