#include "shell/application_setup.h"

#include "shell/session_state.h"

#include <QApplication>
#include <QFont>

void setUpApplication(QApplication& app)
{
    QApplication::setApplicationName(QString::fromLatin1(Declares::kAppTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(Declares::kProgramVersion));
    app.setQuitOnLastWindowClosed(false);
    // Metric-compatible stand-ins; they apply only where the family itself is missing.
    QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
}
