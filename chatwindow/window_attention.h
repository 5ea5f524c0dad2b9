#pragma once

class QWidget;

// Asks the desktop to draw the user's eye to a top-level window, the desktop's way (its
// taskbar entry marked), until the window is activated. Nothing for a hidden window.
void askForAttention(QWidget& window);
