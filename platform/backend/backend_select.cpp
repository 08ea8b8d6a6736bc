// Which display backend is in use: the headless one unless the program entry
// selected another before opening windows.
#include "platform/backend/backend.h"

namespace {
const DisplayBackend* selected = nullptr;
}

const DisplayBackend* backend_current() { return selected ? selected : backend_headless(); }

void backend_select(const DisplayBackend* backend) { selected = backend; }
