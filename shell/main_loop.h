#pragma once

// The start-up procedure: shows the connect dialog and runs the event loop until the
// running flag is cleared, then unloads both windows. Returns the exit code.
int Main();

// Unloads both windows, first keeping what the user changed of the chat window in
// Game.ini; a window that is not loaded is left alone.
void UnloadAll();
