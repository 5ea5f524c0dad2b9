#include "shell/application_setup.h"

#include "shell/base/design_font.h"
#include "shell/base/session_state.h"

#include <QApplication>

void setUpApplication(QApplication& app)
{
    QApplication::setApplicationName(QString::fromLatin1(Declares::kAppTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(Declares::kProgramVersion));
    app.setQuitOnLastWindowClosed(false);
    substituteDesignFonts();
}
