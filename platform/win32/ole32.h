// OLE32 subset: COM and OLE initialisation, OLE drag and drop (drop targets and
// data objects) and storage media. Names, layouts, values and results are Win32's;
// COM interfaces are abstract classes whose virtual tables follow Win32's order.
#pragma once

#include "platform/win32/types.h"

// --- Results ----------------------------------------------------------------
#define CO_E_NOTINITIALIZED (static_cast<HRESULT>(0x800401F0L))
#define RPC_E_CHANGED_MODE (static_cast<HRESULT>(0x80010106L))
#define DRAGDROP_E_NOTREGISTERED (static_cast<HRESULT>(0x80040100L))
#define DRAGDROP_E_ALREADYREGISTERED (static_cast<HRESULT>(0x80040101L))
#define DRAGDROP_E_INVALIDHWND (static_cast<HRESULT>(0x80040102L))
#define DRAGDROP_S_DROP (static_cast<HRESULT>(0x00040100L))
#define DRAGDROP_S_CANCEL (static_cast<HRESULT>(0x00040101L))
#define DRAGDROP_S_USEDEFAULTCURSORS (static_cast<HRESULT>(0x00040102L))
#define OLE_E_ADVISENOTSUPPORTED (static_cast<HRESULT>(0x80040003L))
#define DV_E_FORMATETC (static_cast<HRESULT>(0x80040064L))
#define DV_E_DVTARGETDEVICE (static_cast<HRESULT>(0x80040065L))
#define DV_E_STGMEDIUM (static_cast<HRESULT>(0x80040066L))
#define DV_E_STATDATA (static_cast<HRESULT>(0x80040067L))
#define DV_E_LINDEX (static_cast<HRESULT>(0x80040068L))
#define DV_E_TYMED (static_cast<HRESULT>(0x80040069L))
#define DV_E_CLIPFORMAT (static_cast<HRESULT>(0x8004006AL))
#define DV_E_DVASPECT (static_cast<HRESULT>(0x8004006BL))
#define DATA_S_SAMEFORMATETC (static_cast<HRESULT>(0x00040130L))
#define STG_E_MEDIUMFULL (static_cast<HRESULT>(0x80030070L))

// --- Initialisation -----------------------------------------------------------
#define COINIT_MULTITHREADED 0x0
#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_DISABLE_OLE1DDE 0x4
#define COINIT_SPEED_OVER_MEMORY 0x8

// --- Clipboard formats (shared with the clipboard, declared by user32 too) -----
#ifndef CF_TEXT
#define CF_TEXT 1
#define CF_BITMAP 2
#define CF_METAFILEPICT 3
#define CF_SYLK 4
#define CF_DIF 5
#define CF_TIFF 6
#define CF_OEMTEXT 7
#define CF_DIB 8
#define CF_PALETTE 9
#define CF_PENDATA 10
#define CF_RIFF 11
#define CF_WAVE 12
#define CF_UNICODETEXT 13
#define CF_ENHMETAFILE 14
#define CF_HDROP 15
#define CF_LOCALE 16
#define CF_DIBV5 17
#define CF_PRIVATEFIRST 0x0200
#define CF_PRIVATELAST 0x02FF
#endif

// --- Key state passed with drags (the mouse-message bits, plus Alt) -----------
#ifndef MK_LBUTTON
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010
#endif
#ifndef MK_ALT
#define MK_ALT 0x0020
#endif

// --- Drop effects -------------------------------------------------------------
#define DROPEFFECT_NONE 0u
#define DROPEFFECT_COPY 1u
#define DROPEFFECT_MOVE 2u
#define DROPEFFECT_LINK 4u
#define DROPEFFECT_SCROLL 0x80000000u

// --- Data transfer ------------------------------------------------------------
using CLIPFORMAT = WORD;
using LPOLESTR = WCHAR*;
using LPCOLESTR = const WCHAR*;

enum DVASPECT : DWORD {
  DVASPECT_CONTENT = 1,
  DVASPECT_THUMBNAIL = 2,
  DVASPECT_ICON = 4,
  DVASPECT_DOCPRINT = 8,
};

enum TYMED : DWORD {
  TYMED_NULL = 0,
  TYMED_HGLOBAL = 1,
  TYMED_FILE = 2,
  TYMED_ISTREAM = 4,
  TYMED_ISTORAGE = 8,
  TYMED_GDI = 16,
  TYMED_MFPICT = 32,
  TYMED_ENHMF = 64,
};

enum DATADIR : DWORD {
  DATADIR_GET = 1,
  DATADIR_SET = 2,
};

struct DVTARGETDEVICE {
  DWORD tdSize;
  WORD tdDriverNameOffset;
  WORD tdDeviceNameOffset;
  WORD tdPortNameOffset;
  WORD tdExtDevmodeOffset;
  BYTE tdData[1];
};

struct FORMATETC {
  CLIPFORMAT cfFormat;
  DVTARGETDEVICE* ptd;
  DWORD dwAspect;
  LONG lindex;
  DWORD tymed;
};
using LPFORMATETC = FORMATETC*;

struct IUnknown;
struct IStream;
struct IStorage;
struct IAdviseSink;
struct IEnumSTATDATA;

IFS_DECLARE_HANDLE(HENHMETAFILE);
IFS_DECLARE_HANDLE(HMETAFILEPICT);

struct STGMEDIUM {
  DWORD tymed;
  union {
    HBITMAP hBitmap;
    HMETAFILEPICT hMetaFilePict;
    HENHMETAFILE hEnhMetaFile;
    HGLOBAL hGlobal;
    LPOLESTR lpszFileName;
    IStream* pstm;
    IStorage* pstg;
  };
  IUnknown* pUnkForRelease;  // when set, releasing the medium releases this instead of freeing the data
};
using LPSTGMEDIUM = STGMEDIUM*;

struct POINTL {
  LONG x;
  LONG y;
};

// --- Interface identifiers ----------------------------------------------------
extern const IID IID_IUnknown;        // {00000000-0000-0000-C000-000000000046}
extern const IID IID_IDataObject;     // {0000010E-0000-0000-C000-000000000046}
extern const IID IID_IEnumFORMATETC;  // {00000103-0000-0000-C000-000000000046}
extern const IID IID_IDropSource;     // {00000121-0000-0000-C000-000000000046}
extern const IID IID_IDropTarget;     // {00000122-0000-0000-C000-000000000046}

inline bool IsEqualGUID(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.Data4[i] != b.Data4[i]) return false;
  }
  return true;
}
inline bool IsEqualIID(REFIID a, REFIID b) { return IsEqualGUID(a, b); }
inline bool operator==(const GUID& a, const GUID& b) { return IsEqualGUID(a, b); }
inline bool operator!=(const GUID& a, const GUID& b) { return !IsEqualGUID(a, b); }

// --- Interfaces (virtual table order is Win32's) -------------------------------
struct IUnknown {
  virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
};
using LPUNKNOWN = IUnknown*;

struct IEnumFORMATETC : IUnknown {
  virtual HRESULT Next(ULONG count, FORMATETC* formats, ULONG* fetched) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(IEnumFORMATETC** copy) = 0;
};
using LPENUMFORMATETC = IEnumFORMATETC*;

struct IDataObject : IUnknown {
  virtual HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) = 0;
  virtual HRESULT GetDataHere(FORMATETC* format, STGMEDIUM* medium) = 0;
  virtual HRESULT QueryGetData(FORMATETC* format) = 0;
  virtual HRESULT GetCanonicalFormatEtc(FORMATETC* format_in, FORMATETC* format_out) = 0;
  virtual HRESULT SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) = 0;
  virtual HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) = 0;
  virtual HRESULT DAdvise(FORMATETC* format, DWORD advise_flags, IAdviseSink* sink, DWORD* connection) = 0;
  virtual HRESULT DUnadvise(DWORD connection) = 0;
  virtual HRESULT EnumDAdvise(IEnumSTATDATA** advises) = 0;
};
using LPDATAOBJECT = IDataObject*;

struct IDropTarget : IUnknown {
  virtual HRESULT DragEnter(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragOver(DWORD key_state, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) = 0;
};
using LPDROPTARGET = IDropTarget*;

struct IDropSource : IUnknown {
  virtual HRESULT QueryContinueDrag(BOOL escape_pressed, DWORD key_state) = 0;
  virtual HRESULT GiveFeedback(DWORD effect) = 0;
};
using LPDROPSOURCE = IDropSource*;

// --- Functions ----------------------------------------------------------------
// Initialisation is counted per thread; the first call on a thread gives S_OK,
// later ones S_FALSE, and each needs its matching uninitialise.
IFS_WIN32_BEGIN
HRESULT CoInitialize(LPVOID reserved);
HRESULT CoInitializeEx(LPVOID reserved, DWORD concurrency);
void CoUninitialize();
HRESULT OleInitialize(LPVOID reserved);
void OleUninitialize();

// The target is kept (and AddRef'd) per window until RevokeDragDrop releases it.
HRESULT RegisterDragDrop(HWND window, IDropTarget* target);
HRESULT RevokeDragDrop(HWND window);

void ReleaseStgMedium(STGMEDIUM* medium);
IFS_WIN32_END
