#include "shell/application_setup.h"

#include "shell/base/design_font.h"
#include "shell/base/session_state.h"

#include <QApplication>

void setUpApplication(QApplication& app)
{
    QApplication::setApplicationName(QString::fromLatin1(Declares::kAppTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(Declares::kProgramVersion));
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(Declares::kAppId));
    app.setQuitOnLastWindowClosed(false);
    substituteDesignFonts();
}
