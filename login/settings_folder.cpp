#include "login/settings_folder.h"

#include "login/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/fsuid.h>
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

// The identity the kernel checks file access with: the effective user, unless the
// process changed its file-system identity.
uid_t fileUser()
{
    // An invalid id changes nothing and gives back the current one.
    return static_cast<uid_t>(::setfsuid(static_cast<uid_t>(-1)));
}

// Whether a save may put a new file in the place of file, in folder: the user may write
// the folder, and a folder with the sticky bit (a shared folder such as /tmp) lets only
// the file's or the folder's owner, or root, replace another's file.
bool userMayReplace(const QString& folder, const QString& file)
{
    if (!userMay(folder, W_OK | X_OK))
        return false;
    struct stat folderStatus
    {
    };
    struct stat fileStatus
    {
    };
    if (::stat(QFile::encodeName(folder).constData(), &folderStatus) != 0 ||
        ::lstat(QFile::encodeName(file).constData(), &fileStatus) != 0)
        return false;
    if (!S_ISREG(fileStatus.st_mode) && !S_ISLNK(fileStatus.st_mode))
        return false;
    if (!(folderStatus.st_mode & S_ISVTX))
        return true;
    const uid_t user = fileUser();
    return user == 0 || user == fileStatus.st_uid || user == folderStatus.st_uid;
}

} // namespace

QString settingsFolder()
{
    const QString program = programFolder();
    if (installedUnderUsr(program))
        return userSettingsFolder();
    const QString beside = program + QStringLiteral("/Game.ini");
    if (!QFileInfo::exists(beside)) {
        // Writing a folder's entries takes both the right to write it and to search it.
        return userMay(program, W_OK | X_OK) ? program : userSettingsFolder();
    }
    // A Game.ini already there is kept only where the user can both read it and save
    // it: written in place, or replaced by a new file.
    const bool readable = QFileInfo(beside).isFile() && userMay(beside, R_OK);
    if (readable && (userMay(beside, W_OK) || userMayReplace(program, beside)))
        return program;
    return userSettingsFolder();
}

QString userSettingsFolder()
{
    // A variable that names something other than a folder is as good as unset.
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QFileInfo configInfo(configHome);
    const bool usable =
        QDir::isAbsolutePath(configHome) && (!configInfo.exists() || configInfo.isDir());
    const QString base = usable ? configHome : QDir::homePath() + QStringLiteral("/.config");
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
