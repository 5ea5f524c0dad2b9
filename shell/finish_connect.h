#pragma once

// Hands over from the connect dialog to the chat window once the login line is out:
// forgets the password unless it is to be kept, saves the settings, unloads the
// dialog, shows the chat window as the user left it last time and starts the keep-alive
// timer.
void FinishConnect();
