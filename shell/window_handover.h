#pragma once

// Joins the connect dialog and the chat window, which know nothing of each other: the
// dialog's Connect starts the chat window's connection, the connection's success
// finishes the connect (FinishConnect), and its failure re-arms the dialog. Main does
// this before the first window is loaded.
void JoinWindows();
