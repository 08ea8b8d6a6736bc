// KERNEL32 subset: heaps, files, code pages, thread-local slots, modules,
// synchronisation, time and the process. Semantics follow Win32.
#pragma once

#ifndef _WIN32
#include <pthread.h>
#endif

#include "platform/win32/types.h"

// --- Errors ---------------------------------------------------------------
#define ERROR_SUCCESS 0L
#define ERROR_INVALID_FUNCTION 1L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_TOO_MANY_OPEN_FILES 4L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_NOT_SAME_DEVICE 17L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_GEN_FAILURE 31L
#define ERROR_HANDLE_EOF 38L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_DISK_FULL 112L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_NEGATIVE_SEEK 131L
#define ERROR_NOT_LOCKED 158L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_DIRECTORY 267L
#define ERROR_MR_MID_NOT_FOUND 317L
#define ERROR_INVALID_ADDRESS 487L
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#define ERROR_UNABLE_TO_REMOVE_REPLACED 1175L
#define ERROR_UNABLE_TO_MOVE_REPLACEMENT 1176L
#define ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 1177L
#define ERROR_CANT_RESOLVE_FILENAME 1921L

IFS_WIN32_BEGIN
DWORD GetLastError();
void SetLastError(DWORD error);

#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000

// The system's text for an error code, ending in "\r\n" as on Win32. On
// Linux, a code that came from a failed system call is described by that
// call's own reason (strerror). Only FROM_SYSTEM with IGNORE_INSERTS into a
// caller's buffer is supported.
DWORD FormatMessageW(DWORD flags, LPCVOID source, DWORD message_id, DWORD language_id, LPWSTR buffer, DWORD size,
                     void* arguments);

// --- Heaps ----------------------------------------------------------------
#define HEAP_NO_SERIALIZE 0x00000001
#define HEAP_GENERATE_EXCEPTIONS 0x00000004
#define HEAP_ZERO_MEMORY 0x00000008
#define HEAP_REALLOC_IN_PLACE_ONLY 0x00000010

HANDLE HeapCreate(DWORD options, SIZE_T initial_size, SIZE_T maximum_size);
BOOL HeapDestroy(HANDLE heap);  // frees every block still in the heap
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
LPVOID HeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block);
SIZE_T HeapSize(HANDLE heap, DWORD flags, LPCVOID block);
HANDLE GetProcessHeap();

// --- Memory status ----------------------------------------------------------
// Win32's record; dwLength must hold its size before the call.
struct MEMORYSTATUSEX {
  DWORD dwLength;
  DWORD dwMemoryLoad;  // percent of physical memory in use
  ULONGLONG ullTotalPhys;
  ULONGLONG ullAvailPhys;
  ULONGLONG ullTotalPageFile;  // the commit limit: physical memory and swap
  ULONGLONG ullAvailPageFile;
  ULONGLONG ullTotalVirtual;  // the process's user address space
  ULONGLONG ullAvailVirtual;
  ULONGLONG ullAvailExtendedVirtual;  // always 0
};
using LPMEMORYSTATUSEX = MEMORYSTATUSEX*;

BOOL GlobalMemoryStatusEx(LPMEMORYSTATUSEX buffer);

// --- Virtual memory (large blocks) -----------------------------------------
#define MEM_COMMIT 0x00001000
#define MEM_RESERVE 0x00002000
#define MEM_RELEASE 0x00008000
#define PAGE_READWRITE 0x04

// Zero-filled pages, untouched until first written. Blocks of 2 MiB and more
// start on a 2 MiB boundary and are offered to the system's large pages.
LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocation_type, DWORD protect);
// With MEM_RELEASE and size 0, frees a block VirtualAlloc gave.
BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD free_type);

// --- Global memory (clipboard and drag-and-drop data) ---------------------
#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
SIZE_T GlobalSize(HGLOBAL memory);
HGLOBAL GlobalFree(HGLOBAL memory);

// --- Files ----------------------------------------------------------------
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define DELETE 0x00010000u
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100
#define FILE_FLAG_DELETE_ON_CLOSE 0x04000000
#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(-1))
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_SET_FILE_POINTER (static_cast<DWORD>(-1))
#define INVALID_FILE_SIZE (static_cast<DWORD>(0xFFFFFFFF))
#define MOVEFILE_REPLACE_EXISTING 0x00000001
#define MOVEFILE_WRITE_THROUGH 0x00000008

#define DRIVE_UNKNOWN 0
#define DRIVE_NO_ROOT_DIR 1
#define DRIVE_REMOVABLE 2
#define DRIVE_FIXED 3
#define DRIVE_REMOTE 4

struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;

struct WIN32_FIND_DATAW {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  WCHAR cFileName[MAX_PATH];
  WCHAR cAlternateFileName[14];
};
using LPWIN32_FIND_DATAW = WIN32_FIND_DATAW*;

// A new file takes its permissions from `security`'s descriptor when one is
// given (GetFileSecurityW), from the start. FILE_FLAG_DELETE_ON_CLOSE removes
// the file when its handle closes, also when the process is killed: on Linux
// such a new file is made without a name where the file system allows it.
HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD share_mode, LPSECURITY_ATTRIBUTES security,
                   DWORD creation, DWORD flags_and_attributes, HANDLE template_file);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytes_to_read, LPDWORD bytes_read, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytes_to_write, LPDWORD bytes_written, LPOVERLAPPED overlapped);
BOOL FlushFileBuffers(HANDLE file);
DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distance_high, DWORD method);
DWORD GetFileSize(HANDLE file, LPDWORD size_high);
#define FILE_TYPE_UNKNOWN 0
#define FILE_TYPE_DISK 1
#define FILE_TYPE_CHAR 2
#define FILE_TYPE_PIPE 3
// DISK for a file on disk, CHAR for a device, PIPE for a pipe or socket.
DWORD GetFileType(HANDLE file);
BOOL CloseHandle(HANDLE object);
BOOL DeleteFileW(LPCWSTR name);
// MOVEFILE_WRITE_THROUGH returns only once the new name is on disk (the
// folder is synced).
BOOL MoveFileExW(LPCWSTR existing, LPCWSTR replacement, DWORD flags);
// Replaces a file's contents by another file's and keeps the replaced file's
// identity: its permission bits, and its owner and group where the user may
// set them. A symbolic link is followed and its target replaced. The replaced
// file must exist and be writable by the caller; the folder is synced. No
// backup and no flags are supported.
BOOL ReplaceFileW(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID exclude,
                  LPVOID reserved);
// A second name for an existing file. On Linux a file created with
// FILE_FLAG_DELETE_ON_CLOSE has no name in its folder while it is open (it
// goes with its handle, as Windows deletes it at close); its creation name
// still reaches it here, from the process that holds it.
BOOL CreateHardLinkW(LPCWSTR new_name, LPCWSTR existing_name, LPSECURITY_ATTRIBUTES reserved);
HANDLE FindFirstFileW(LPCWSTR name, LPWIN32_FIND_DATAW data);
BOOL FindClose(HANDLE search);
DWORD GetFileAttributesW(LPCWSTR name);
UINT GetDriveTypeW(LPCWSTR root);
DWORD GetCurrentDirectoryW(DWORD buffer_length, LPWSTR buffer);
BOOL SetCurrentDirectoryW(LPCWSTR path);
// ERROR_ALREADY_EXISTS when the name is taken, ERROR_PATH_NOT_FOUND when a folder above it is
// missing. On Linux the folder's permissions are the process's defaults (the umask applies).
BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectoryW(LPCWSTR path);
// The folder for temporary files, with a trailing separator: on Linux TMPDIR, else "/tmp/". Too
// small a buffer: the size needed, terminator included.
DWORD GetTempPathW(DWORD buffer_length, LPWSTR buffer);

// --- Code pages -----------------------------------------------------------
#define CP_ACP 0
#define CP_OEMCP 1
#define CP_UTF8 65001
#define MB_ERR_INVALID_CHARS 0x00000008

// The system code page (CP_ACP, CP_OEMCP) is UTF-8 on Linux, where names are
// bytes: a byte that is not part of valid UTF-8 becomes a lone surrogate
// U+DC80..U+DCFF and goes back to the same byte, so any name the system
// allows round-trips. CP_UTF8 converts as on Win32 (U+FFFD for bad input).
int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR text, int length, LPWSTR wide, int wide_length);
int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR wide, int wide_length, LPSTR text, int length,
                        LPCSTR default_char, BOOL* used_default);

// --- Thread-local slots ---------------------------------------------------
#define TLS_OUT_OF_INDEXES (static_cast<DWORD>(0xFFFFFFFF))

DWORD TlsAlloc();
BOOL TlsFree(DWORD index);
BOOL TlsSetValue(DWORD index, LPVOID value);
LPVOID TlsGetValue(DWORD index);

// --- Modules --------------------------------------------------------------
// Linux has no DLLs of these names: look-ups find nothing and callers fall back.
HMODULE LoadLibraryW(LPCWSTR name);
HMODULE LoadLibraryA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);
HMODULE GetModuleHandleW(LPCWSTR name);

// --- Synchronisation ------------------------------------------------------
#ifdef _WIN32
// Win32's own record (RTL_CRITICAL_SECTION), which the system fills in.
struct CRITICAL_SECTION {
  void* DebugInfo;
  LONG LockCount;
  LONG RecursionCount;
  HANDLE OwningThread;
  HANDLE LockSemaphore;
  ULONG_PTR SpinCount;
};
#else
struct CRITICAL_SECTION {
  pthread_mutex_t mutex;
};
#endif
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

void InitializeCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);

#ifdef _WIN32
IFS_WIN32_END
// 64-bit Windows exports no Interlocked functions: they are compiler
// intrinsics there, full barriers like these.
inline LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand) {
  __atomic_compare_exchange_n(target, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return comparand;
}
inline LONG InterlockedExchange(LONG volatile* target, LONG value) {
  return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedIncrement(LONG volatile* target) { return __atomic_add_fetch(target, 1, __ATOMIC_SEQ_CST); }
inline LONG InterlockedDecrement(LONG volatile* target) { return __atomic_sub_fetch(target, 1, __ATOMIC_SEQ_CST); }
IFS_WIN32_BEGIN
#else
LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand);
LONG InterlockedExchange(LONG volatile* target, LONG value);
LONG InterlockedIncrement(LONG volatile* target);
LONG InterlockedDecrement(LONG volatile* target);
#endif

#ifndef INFINITE
#define INFINITE 0xFFFFFFFFu
#endif

void Sleep(DWORD milliseconds);

// --- Time, threads, process -----------------------------------------------
DWORD GetTickCount();
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();
LPWSTR GetCommandLineW();
[[noreturn]] void ExitProcess(UINT exit_code);
IFS_WIN32_END
