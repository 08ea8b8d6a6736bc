// COMDLG32 subset: the open-file and save-file common dialogs.
#pragma once

#include "platform/win32/types.h"

using LPOFNHOOKPROC = UINT_PTR (*)(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_EXPLORER 0x00080000

// Extended errors (CommDlgExtendedError)
#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define FNERR_BUFFERTOOSMALL 0x3003

struct OPENFILENAMEW {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCWSTR lpstrFilter;
  LPWSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  LPWSTR lpstrFile;
  DWORD nMaxFile;
  LPWSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCWSTR lpstrInitialDir;
  LPCWSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCWSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCWSTR lpTemplateName;
  // Fields after this point exist only in the full-size structure.
  void* pvReserved;
  DWORD dwReserved;
  DWORD FlagsEx;
};
using LPOPENFILENAMEW = OPENFILENAMEW*;

// The structure size the 4.00 common dialogs accept: every field up to
// lpTemplateName. Sizes from this one up to sizeof(OPENFILENAMEW) are accepted.
#define OPENFILENAME_SIZE_VERSION_400W (offsetof(OPENFILENAMEW, pvReserved))

// Both keep the thread's messages dispatching while open. TRUE when a file was
// chosen: lpstrFile holds the full path, nFilterIndex the chosen filter.
IFS_WIN32_BEGIN
BOOL GetOpenFileNameW(LPOPENFILENAMEW request);
BOOL GetSaveFileNameW(LPOPENFILENAMEW request);
DWORD CommDlgExtendedError();
IFS_WIN32_END
