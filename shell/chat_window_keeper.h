#pragma once

class frmMain;

// Carries the chat window's size, maximised state and text size from one run to the
// next: the window opens as Game.ini says it was left, and what the user changed is
// written back as it goes, whatever closes it.
void openChatWindowAsLeft(frmMain& window);
void keepChatWindowChoices(const frmMain& window);
