// Standard streams of a windows-subsystem program. Started from Explorer it
// has none and needs none; started from a console its text must still show
// there; started with redirected streams (a pipe, a file) it must write to
// them. Streams the parent handed over are kept; the others are joined to
// the parent's console, when it has one.
#pragma once

void console_streams_connect();
