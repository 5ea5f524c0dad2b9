#include "shell/application_setup.h"
#include "shell/main_loop.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    return Main();
}
