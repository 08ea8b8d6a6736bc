// COM and OLE initialisation, counted per thread as Win32 counts it: every successful
// initialise (S_OK or S_FALSE) needs one uninitialise; the first one on a thread gives
// S_OK, later ones S_FALSE. OLE initialisation also initialises COM (apartment model).
#include "platform/call_watch.h"
#include "platform/ole32/initialization.h"

#include "platform/win32/ole32.h"

namespace {

struct ThreadInitialisation {
  unsigned com_count = 0;
  unsigned ole_count = 0;
  DWORD concurrency = 0;
};

thread_local ThreadInitialisation thread_state;

DWORD concurrency_model(DWORD flags) { return flags & COINIT_APARTMENTTHREADED; }

}  // namespace

bool ole_initialized_on_this_thread() { return thread_state.ole_count > 0; }

HRESULT CoInitializeEx(LPVOID reserved, DWORD concurrency) {
  if (reserved != nullptr) return E_INVALIDARG;
  DWORD model = concurrency_model(concurrency);
  if (thread_state.com_count > 0) {
    // A thread keeps the model it was first initialised with.
    if (thread_state.concurrency != model) return RPC_E_CHANGED_MODE;
    ++thread_state.com_count;
    return S_FALSE;
  }
  thread_state.concurrency = model;
  thread_state.com_count = 1;
  return S_OK;
}

HRESULT CoInitialize(LPVOID reserved) {
  call_noted(nullptr, "CoInitialize");
  return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED);
}

void CoUninitialize() {
  // An unbalanced call changes nothing.
  if (thread_state.com_count == 0) return;
  --thread_state.com_count;
}

HRESULT OleInitialize(LPVOID reserved) {
  call_noted(nullptr, "OleInitialize");
  if (reserved != nullptr) return E_INVALIDARG;
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(com)) return com;
  return thread_state.ole_count++ == 0 ? S_OK : S_FALSE;
}

void OleUninitialize() {
  call_noted(nullptr, "OleUninitialize");
  if (thread_state.ole_count == 0) return;
  --thread_state.ole_count;
  CoUninitialize();
}
