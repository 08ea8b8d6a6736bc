// Releasing the storage a data object handed out.
#include "platform/win32/kernel32.h"
#include "platform/win32/ole32.h"

void ReleaseStgMedium(STGMEDIUM* medium) {
  if (medium == nullptr) return;
  // A medium with an owner is released by releasing the owner, who keeps the data.
  if (medium->pUnkForRelease != nullptr) {
    medium->pUnkForRelease->Release();
  } else if (medium->tymed == TYMED_HGLOBAL && medium->hGlobal != nullptr) {
    GlobalFree(medium->hGlobal);
  }
  // Other media kinds are not produced by this layer; their handles are left alone.
  medium->tymed = TYMED_NULL;
  medium->hGlobal = nullptr;
  medium->pUnkForRelease = nullptr;
}
