#pragma once

// Joins the connect dialog and the chat window, which know nothing of each other, by
// connecting their signals as each is loaded: the dialog's Connect starts the chat
// window's connection (loading the chat window), the login line going out finishes the
// connect (FinishConnect), and a failed attempt re-arms the dialog. Main does this
// before the first window is loaded.
void joinWindows();
