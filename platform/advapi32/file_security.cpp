// GetFileSecurityW over stat(): the permission bits stand for the DACL.
#include "platform/advapi32/file_security.h"

#include <sys/stat.h>

#include <cstring>
#include <string>

#include "platform/kernel32/path_names.h"
#include "platform/win32/advapi32.h"
#include "platform/win32/kernel32.h"

BOOL GetFileSecurityW(LPCWSTR name, SECURITY_INFORMATION, PSECURITY_DESCRIPTOR descriptor, DWORD length,
                      LPDWORD needed) {
  std::string path;
  if (!path_to_utf8(name, path)) return FALSE;
  if (!needed) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    set_last_error_for_path(path);
    return FALSE;
  }
  *needed = sizeof(LinuxFileSecurity);
  if (!descriptor || length < sizeof(LinuxFileSecurity)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  const LinuxFileSecurity security{FILE_SECURITY_SIGNATURE, status.st_mode & 0777, status.st_gid};
  std::memcpy(descriptor, &security, sizeof security);
  return TRUE;
}

bool file_security_of(const SECURITY_ATTRIBUTES* attributes, LinuxFileSecurity* security) {
  if (!attributes || attributes->nLength < sizeof(SECURITY_ATTRIBUTES) || !attributes->lpSecurityDescriptor)
    return false;
  std::memcpy(security, attributes->lpSecurityDescriptor, sizeof *security);
  return security->signature == FILE_SECURITY_SIGNATURE;
}
