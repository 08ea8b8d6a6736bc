// _TrackMouseEvent: asks user32 for one WM_MOUSELEAVE when the pointer leaves
// the window (hover tracking is not offered by this display).
#include "platform/user32/user32_shared.h"
#include "platform/win32/commctrl.h"

BOOL _TrackMouseEvent(LPTRACKMOUSEEVENT track) {
  if (!track || track->cbSize != sizeof(TRACKMOUSEEVENT)) return FALSE;
  if (track->dwFlags & TME_QUERY) {
    HWND tracked = mouse_tracked_window();
    track->dwFlags = tracked ? TME_LEAVE : 0;
    track->hwndTrack = tracked;
    track->dwHoverTime = 0;
    return TRUE;
  }
  if (!IsWindow(track->hwndTrack)) return FALSE;
  if (!(track->dwFlags & TME_LEAVE)) return TRUE;
  mouse_track_leave(track->hwndTrack, !(track->dwFlags & TME_CANCEL));
  return TRUE;
}
