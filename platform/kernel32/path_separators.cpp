// Linux names have one separator; "\" may stand inside a file name.
#include "platform/win32/path_separators.h"

BOOL kernel32_is_path_separator(WCHAR unit) { return unit == u'/' ? TRUE : FALSE; }
