// File drop on controls: which formats a control accepts, and the dropped
// file names of the current event.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32/user32.h"
#include "runtime/core/registry.h"
#include "runtime/gui/drop_effect.h"
#include "runtime/gui/drop_target.h"

// OLE is initialised before the first drop target is registered.
void drop_library_init();
void drop_library_shutdown();

// Accepts drops of format with the given actions on a control (actions 0
// withdraws the format); DROP_TEXT stands for the three text formats.
void gadget_drop_enable(ObjectId control, std::uint32_t format, std::uint32_t actions);
// The per-format core: creates, updates or withdraws the control's target.
void drop_accept_set(ObjectId number, std::int32_t kind, HWND handle, std::uint32_t format, std::uint32_t actions,
                     std::uint32_t private_type);
// The current drop event's file names joined by line feeds (no trailing
// one); empty unless the current event is a file drop.
std::u16string event_dropped_files();
