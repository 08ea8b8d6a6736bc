// The window session on the headless display, for tests that also script
// input, read the virtual clock or look at what the display shows.
#pragma once

#include "platform/backend/headless/headless.h"
#include "support/window_session.h"

using HeadlessSession = WindowSession;
