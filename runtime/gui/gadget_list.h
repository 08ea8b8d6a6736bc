// The current control container: the window into which new controls are
// created. Each window that has been made the container keeps its saved
// container state in a "ZQ_GadgetStack_<module>" property until destroyed.
#pragma once

#include "platform/win32/user32.h"

void gadget_list_init();
// Makes handle the current container and returns the previous one (or 0);
// with null only returns the current one.
HWND gadget_list_use(HWND handle);
