// What a file's security descriptor holds on Linux: the permission bits and
// the group whose rights its group bits grant. CreateFileW reads it back.
#pragma once

#include <sys/types.h>

#include "platform/win32/types.h"

struct LinuxFileSecurity {
  DWORD signature;  // FILE_SECURITY_SIGNATURE: a descriptor made here
  mode_t permissions;
  gid_t group;
};

inline constexpr DWORD FILE_SECURITY_SIGNATURE = 0x53464931;  // "1IFS"

// The descriptor behind SECURITY_ATTRIBUTES; false when none was given or
// it was not made by GetFileSecurityW.
bool file_security_of(const SECURITY_ATTRIBUTES* attributes, LinuxFileSecurity* security);
