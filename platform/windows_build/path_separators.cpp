// Windows accepts both slashes between folders.
#include "platform/win32/path_separators.h"

BOOL kernel32_is_path_separator(WCHAR unit) { return unit == u'\\' || unit == u'/' ? TRUE : FALSE; }
