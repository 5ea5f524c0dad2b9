#include "login/login_check.h"

#include "session/wire_codec.h"
#include "shell/base/session_state.h"

namespace {

bool allCharsAllowed(const QString& text)
{
    for (const QChar c : text) {
        if (!IsAllowedChar(static_cast<qint16>(windows1252Code(c))))
            return false;
    }
    return true;
}

} // namespace

bool IsAllowedChar(qint16 code)
{
    if (code == 8)
        return true;
    if (code < 32 || code > 126)
        return false;
    switch (code) {
    case '"':
    case '*':
    case '/':
    case ':':
    case '<':
    case '>':
    case '?':
    case '\\':
    case '|':
        return false;
    default:
        return true;
    }
}

QString loginProblem(const QString& portBoxText)
{
    if (Declares::serverIP.isEmpty())
        return QStringLiteral("Server IP box is empty.");
    if (portBoxText.isEmpty())
        return QStringLiteral("Port box is empty.");
    if (Declares::password.isEmpty())
        return QStringLiteral("Password box is empty.");
    if (Declares::password.size() > 10)
        return QStringLiteral("Password must be 10 characters or less.");
    if (!allCharsAllowed(Declares::password))
        return QStringLiteral("Invalid Password.");
    if (Declares::userName.isEmpty())
        return QStringLiteral("Name box is empty.");
    if (Declares::userName.size() > 30)
        return QStringLiteral("Name must be 30 characters or less.");
    if (!allCharsAllowed(Declares::userName))
        return QStringLiteral("Invalid Name.");
    return QString();
}
