// Data objects for drags that come from outside the program (the display backend
// builds them from what the desktop offers): a file list or a text. They offer their
// formats in global memory (TYMED_HGLOBAL) for DVASPECT_CONTENT; GetData hands the
// caller its own copy, to be freed with ReleaseStgMedium.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/ole32.h"

// CF_HDROP: a DROPFILES block with the wide names in order. Reference count 1; null
// when memory runs out or a name is empty or holds a zero unit.
IDataObject* drag_data_create_files(const std::vector<std::u16string>& paths);
// CF_UNICODETEXT and CF_TEXT (the system code page, UTF-8 here). Reference count 1;
// null when memory runs out.
IDataObject* drag_data_create_text(std::u16string_view text);
