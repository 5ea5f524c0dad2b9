#pragma once

// The start-up procedure: shows the connect dialog and runs the event loop until the
// running flag is cleared, then unloads both windows. Returns the exit code.
int Main();

// Unloads both windows; a window that is not loaded is left alone.
void UnloadAll();
