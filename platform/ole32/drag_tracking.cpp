// The receiving half of OLE's drag loop: one drag at a time, moving between the drop
// targets of the windows under the pointer.
//
// A drag from another program reaches a Win32 thread as calls carried by messages
// (COM's single-threaded apartment), so that thread's GetMessage returns once a call
// was made, and whatever the call queued is handled next. Here the display makes the
// calls while user32 waits for input: one message posted to the thread for each
// delivery that reached a target ends that wait in the same way.
#include "platform/backend/drag_input.h"
#include "platform/ole32/drop_target_registry.h"
#include "platform/win32/user32.h"

namespace {

struct DragSession {
  HWND top_level = nullptr;
  IDataObject* data = nullptr;      // referenced while the drag runs
  HWND target_window = nullptr;
  IDropTarget* target = nullptr;    // referenced while the pointer is over it
  DWORD last_effect = DROPEFFECT_NONE;
};

DragSession session;
bool target_called = false;

void target_reached() { target_called = true; }

// Posted with no window: a thread message that every message loop passes on unseen.
void post_call_message() {
  if (!target_called) return;
  target_called = false;
  static const UINT call_message = RegisterWindowMessageW(u"OleDragCall");
  PostMessageW(nullptr, call_message, 0, 0);
}

bool session_over(HWND window) { return session.data != nullptr && window != nullptr && window == session.top_level; }

POINTL screen_point_of(HWND window, POINT client_point) {
  POINT point = client_point;
  ClientToScreen(window, &point);
  return {point.x, point.y};
}

void forget_target() {
  if (session.target != nullptr) session.target->Release();
  session.target = nullptr;
  session.target_window = nullptr;
  session.last_effect = DROPEFFECT_NONE;
}

void leave_target() {
  if (session.target != nullptr) {
    session.target->DragLeave();
    target_reached();
  }
  forget_target();
}

// A target whose DragEnter fails takes no part in the rest of the drag over it.
void enter_target(DropTargetAtPoint found, POINTL point, DWORD key_state, DWORD offered) {
  if (found.target == nullptr) return;
  found.target->AddRef();
  target_reached();
  DWORD effect = offered;
  if (FAILED(found.target->DragEnter(session.data, key_state, point, &effect))) {
    found.target->Release();
    return;
  }
  session.target = found.target;
  session.target_window = found.window;
  session.last_effect = effect & offered;
}

// DragEnter when the pointer reaches another target than before, DragOver otherwise.
void track_pointer(POINTL point, DWORD key_state, DWORD offered) {
  DropTargetAtPoint found = drop_target_at(session.top_level, {point.x, point.y});
  if (found.target != session.target || found.window != session.target_window) {
    leave_target();
    enter_target(found, point, key_state, offered);
    return;
  }
  if (session.target == nullptr) return;
  target_reached();
  DWORD effect = offered;
  if (FAILED(session.target->DragOver(key_state, point, &effect))) effect = DROPEFFECT_NONE;
  session.last_effect = effect & offered;
}

void end_session() {
  forget_target();
  if (session.data != nullptr) session.data->Release();
  session = DragSession{};
}

}  // namespace

DWORD drag_input_enter(HWND window, IDataObject* data, POINT client_point, DWORD key_state, DWORD offered) {
  if (session.data != nullptr) drag_input_leave(session.top_level);
  if (data == nullptr || !IsWindow(window)) return DROPEFFECT_NONE;
  data->AddRef();
  session.data = data;
  session.top_level = window;
  track_pointer(screen_point_of(window, client_point), key_state, offered);
  post_call_message();
  return session.last_effect;
}

DWORD drag_input_over(HWND window, POINT client_point, DWORD key_state, DWORD offered) {
  if (!session_over(window)) return DROPEFFECT_NONE;
  track_pointer(screen_point_of(window, client_point), key_state, offered);
  post_call_message();
  return session.last_effect;
}

void drag_input_leave(HWND window) {
  if (!session_over(window)) return;
  leave_target();
  end_session();
  post_call_message();
}

DWORD drag_input_drop(HWND window, POINT client_point, DWORD key_state, DWORD offered) {
  if (!session_over(window)) return DROPEFFECT_NONE;
  POINTL point = screen_point_of(window, client_point);
  // Released somewhere the last move did not reach: that target decides first.
  DropTargetAtPoint found = drop_target_at(session.top_level, {point.x, point.y});
  if (found.target != session.target || found.window != session.target_window) {
    leave_target();
    enter_target(found, point, key_state, offered);
  }
  DWORD effect = DROPEFFECT_NONE;
  if (session.target != nullptr) target_reached();
  if (session.target != nullptr && session.last_effect == DROPEFFECT_NONE) {
    session.target->DragLeave();
  } else if (session.target != nullptr) {
    effect = offered;
    if (FAILED(session.target->Drop(session.data, key_state, point, &effect))) effect = DROPEFFECT_NONE;
    effect &= offered;
  }
  end_session();
  post_call_message();
  return effect;
}
