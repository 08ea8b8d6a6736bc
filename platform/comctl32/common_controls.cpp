// InitCommonControlsEx: the control classes of this system are always there,
// so initialisation only checks its argument.
#include "platform/win32/commctrl.h"

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  return init && init->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}
