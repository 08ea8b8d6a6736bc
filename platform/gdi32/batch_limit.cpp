// The GDI batch limit. Every call here takes effect at once, so the limit changes nothing,
// but callers that save and restore it see Win32's values.
#include "platform/win32/gdi32.h"

namespace {

constexpr DWORD DEFAULT_BATCH_LIMIT = 20;
DWORD batch_limit = DEFAULT_BATCH_LIMIT;

}  // namespace

DWORD GdiGetBatchLimit() { return batch_limit; }

DWORD GdiSetBatchLimit(DWORD limit) {
  DWORD previous = batch_limit;
  batch_limit = limit == 0 ? DEFAULT_BATCH_LIMIT : limit;
  return previous;
}

BOOL GdiFlush() { return TRUE; }
