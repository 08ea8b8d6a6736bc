// InitCommonControlsEx: the control classes of this system are always there,
// so initialisation only checks its argument.
#include "platform/call_watch.h"
#include "platform/win32/commctrl.h"

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  call_noted(nullptr, "InitCommonControlsEx", init ? init->dwICC : 0);
  return init && init->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}
