// RegisterDragDrop and RevokeDragDrop. A window's drop target lives in a window
// property, as on Win32, holding the reference RegisterDragDrop took.
#include "platform/call_watch.h"
#include "platform/ole32/drop_target_registry.h"

#include "platform/backend/backend.h"
#include "platform/ole32/initialization.h"
#include "platform/ole32/window_tree.h"
#include "platform/win32/user32.h"

namespace {

constexpr const WCHAR* TARGET_PROPERTY = u"OleDropTargetInterface";

bool has_registered_target(HWND window) { return drop_target_registered(window) != nullptr; }

// The display only offers drags to top-level windows; tell it whether this one (or a
// child of it) takes them now.
void tell_display_about_drops(HWND window) {
  const DisplayBackend* backend = backend_current();
  if (backend == nullptr || backend->accept_drops == nullptr) return;
  HWND root = window_tree_root(window);
  if (root == nullptr) return;
  backend->accept_drops(root, window_tree_any(root, has_registered_target) ? TRUE : FALSE);
}

}  // namespace

IDropTarget* drop_target_registered(HWND window) {
  return static_cast<IDropTarget*>(GetPropW(window, TARGET_PROPERTY));
}

DropTargetAtPoint drop_target_at(HWND top_level, POINT screen_point) {
  // Hidden windows are not under any pointer; disabled ones (the owner of a modal
  // requester) take no drops.
  if (!IsWindowVisible(top_level) || !IsWindowEnabled(top_level)) return {nullptr, nullptr};
  for (HWND window = window_tree_deepest_at(top_level, screen_point); window != nullptr;
       window = GetParent(window)) {
    if (IDropTarget* target = drop_target_registered(window)) {
      if (!IsWindowEnabled(window)) break;
      return {window, target};
    }
    if (window == top_level) break;
  }
  return {nullptr, nullptr};
}

HRESULT RegisterDragDrop(HWND window, IDropTarget* target) {
  // Win32 gives this odd result when OLE (not merely COM) is not initialised.
  if (!ole_initialized_on_this_thread()) return E_OUTOFMEMORY;
  if (target == nullptr) return E_INVALIDARG;
  if (window == nullptr || !IsWindow(window)) return DRAGDROP_E_INVALIDHWND;
  if (drop_target_registered(window) != nullptr) return DRAGDROP_E_ALREADYREGISTERED;
  target->AddRef();
  if (!SetPropW(window, TARGET_PROPERTY, target)) {
    target->Release();
    return E_OUTOFMEMORY;
  }
  tell_display_about_drops(window);
  return S_OK;
}

HRESULT RevokeDragDrop(HWND window) {
  call_noted(window, "RevokeDragDrop");
  // Works without OLE initialised, so that windows closed after OleUninitialize
  // still give their targets back.
  if (window == nullptr || !IsWindow(window)) return DRAGDROP_E_INVALIDHWND;
  IDropTarget* target = static_cast<IDropTarget*>(RemovePropW(window, TARGET_PROPERTY));
  if (target == nullptr) return DRAGDROP_E_NOTREGISTERED;
  tell_display_about_drops(window);
  target->Release();
  return S_OK;
}
