// The minimal Qt Widgets program, a window with a line of text: the bound for the
// client's start. Text matters: it is what makes the toolkit load its fonts.
#include "first_show.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    FirstShow probe;
    app.installEventFilter(&probe);
    QLabel window(QStringLiteral("Hello, zone"));
    window.resize(275, 339);
    window.show();
    return QApplication::exec();
}
