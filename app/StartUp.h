#pragma once
// The start-up sequence from the creation of the windows to the end of the event loop.

#include <functional>

// Runs `createWindows`, which builds the program's windows (the first is the main window),
// then the event loop until the main window has closed. Returns the exit code: 0 after a
// normal end; 1 when a window could not be created or the main window not shown, which the
// error box has then reported, so that no half-built window ever takes commands.
int RunWindows(const std::function<void()>& createWindows);
