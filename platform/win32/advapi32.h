// ADVAPI32 subset: a file's security, to create another file with the same.
// On Linux a descriptor holds the permission bits and the group they are
// meant for; callers only pass it on, as they would on Windows.
#pragma once

#include "platform/win32/types.h"

#define OWNER_SECURITY_INFORMATION 0x00000001
#define GROUP_SECURITY_INFORMATION 0x00000002
#define DACL_SECURITY_INFORMATION 0x00000004

using SECURITY_INFORMATION = DWORD;
using PSECURITY_DESCRIPTOR = LPVOID;

IFS_WIN32_BEGIN
// With too small a buffer: FALSE, ERROR_INSUFFICIENT_BUFFER and the size
// needed in *needed.
BOOL GetFileSecurityW(LPCWSTR name, SECURITY_INFORMATION requested, PSECURITY_DESCRIPTOR descriptor, DWORD length,
                      LPDWORD needed);
IFS_WIN32_END
