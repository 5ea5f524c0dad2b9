#include "login/settings_folder.h"

#include "login/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Asked of the kernel as the user the program runs as, so that the answer is right for
// root too: root may write anywhere but on a read-only or immutable file system.
bool userMay(const QString& path, int how)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), how, AT_EACCESS) == 0;
}

bool installedUnderUsr(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical == QLatin1String("/usr") || canonical.startsWith(QLatin1String("/usr/"));
}

} // namespace

QString settingsFolder()
{
    const QString program = programFolder();
    if (installedUnderUsr(program))
        return userSettingsFolder();
    // Writing a folder's entries takes both the right to write it and to search it.
    if (userMay(program, W_OK | X_OK))
        return program;
    const QString beside = program + QStringLiteral("/Game.ini");
    if (QFileInfo(beside).isFile() && userMay(beside, W_OK))
        return program;
    return userSettingsFolder();
}

QString userSettingsFolder()
{
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString base = QDir::isAbsolutePath(configHome)
                             ? configHome
                             : QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/orvex-chat"));
}

bool makeFolderForUserAlone(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    const QString parent = QFileInfo(folder).path();
    if (parent == folder || !makeFolderForUserAlone(parent))
        return false;
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0700) == 0)
        return ::chmod(name.constData(), 0700) == 0; // whatever the umask took away
    return errno == EEXIST && QFileInfo(folder).isDir();
}
