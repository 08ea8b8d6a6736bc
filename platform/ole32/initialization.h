// Whether OLE is initialised on the calling thread (drag-and-drop registration needs it).
#pragma once

bool ole_initialized_on_this_thread();
