#include "runtime/graphics/alpha_blend_entry.h"

#include "platform/win32/kernel32.h"

namespace {
HMODULE msimg32 = nullptr;
FARPROC alpha_blend = nullptr;
}  // namespace

void alpha_blend_entry_load() {
  msimg32 = LoadLibraryW(u"msimg32.dll");
  alpha_blend = msimg32 ? GetProcAddress(msimg32, "AlphaBlend") : nullptr;
}

void alpha_blend_entry_release() {
  if (msimg32) FreeLibrary(msimg32);
  msimg32 = nullptr;
  alpha_blend = nullptr;
}

bool alpha_blend_entry_present() { return alpha_blend != nullptr; }
