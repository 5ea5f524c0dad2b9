// The client's own start, as shell/main.cpp does it, reporting the moment the connect
// dialog has first been shown on stdout and then leaving.
#include "first_show.h"

#include "shell/application_setup.h"
#include "shell/main_loop.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    FirstShow probe;
    app.installEventFilter(&probe);
    return Main();
}
