// Win32 attribute bits and times from a POSIX stat record.
#pragma once

#include <sys/stat.h>

#include <string_view>

#include "platform/win32/kernel32.h"

// entry_name is the last component; a dot-file counts as hidden, as a
// careful port shows it.
DWORD file_attributes_of(const struct stat& status, std::string_view entry_name);

// 100-nanosecond intervals since 1601-01-01 UTC.
FILETIME file_time_of(const struct timespec& time);
