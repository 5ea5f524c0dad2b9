#pragma once

#include "shell/application_setup.h"
#include "shell/base/session_state.h"

#include <QApplication>

// What every benchmark of the chat does first: the application set up as the program
// sets it up, and a session under way.
inline void startBenchSession(QApplication& app)
{
    setUpApplication(app);
    Declares::reset();
    Declares::running = true;
}
