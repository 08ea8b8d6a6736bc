// SHELL32 subset: reading the file lists that drag and drop hands over.
// Names, layouts and results are Win32's.
#pragma once

#include "platform/win32/types.h"

// Header of a file-list block (CF_HDROP). The names follow at offset pFiles, each
// zero-terminated, the list ending with an empty name; fWide says whether they are
// UTF-16 or 8-bit text.
struct DROPFILES {
  DWORD pFiles;  // offset of the first name from the start of the block
  POINT pt;      // drop point
  BOOL fNC;      // the point lies in the non-client area
  BOOL fWide;    // names are WCHAR
};
using LPDROPFILES = DROPFILES*;

// file 0xFFFFFFFF gives the number of names; a null buffer gives the length of
// name `file` without its terminator; otherwise copies at most size - 1 units,
// terminates, and gives the units copied. 0 for a bad handle or index.
IFS_WIN32_BEGIN
UINT DragQueryFileW(HDROP drop, UINT file, LPWSTR buffer, UINT size);
// The point stored in the block; TRUE when it lies in the client area.
BOOL DragQueryPoint(HDROP drop, POINT* point);
// Frees the block (it is a global memory block).
void DragFinish(HDROP drop);
IFS_WIN32_END
