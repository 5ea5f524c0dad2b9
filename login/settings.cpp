#include "login/settings.h"

#include "login/profile_file.h"
#include "login/settings_folder.h"
#include "shell/base/session_state.h"

#include <QFileInfo>

namespace {

constexpr QLatin1String kSection("INIT");

QString portText(qint16 port)
{
    const QString digits = QString::number(port);
    return port < 0 ? digits : u' ' + digits;
}

} // namespace

QString ReadIniValue(const QString& file, const QString& section, const QString& key)
{
    return ProfileFile::readString(file, section, key);
}

void WriteIniValue(const QString& file, const QString& section, const QString& key,
                   const QString& value)
{
    ProfileFile::writeString(file, section, key, value);
}

bool FileExists(const QString& path, int attributeMask)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    if (info.fileName().startsWith(u'.') && !(attributeMask & kAttributeHidden))
        return false;
    if (info.isDir())
        return attributeMask & kAttributeDirectory;
    return info.isFile();
}

QString settingsFilePath()
{
    return settingsFolder() + QStringLiteral("/Game.ini");
}

void SaveSettings()
{
    // The user's own settings folder may not exist yet; the program's always does.
    const QString file = settingsFilePath();
    if (!makeFolderForUserAlone(QFileInfo(file).path()))
        return;
    ProfileFile::writeStrings(file, kSection,
                              {
                                  {QStringLiteral("Name"), Declares::userName},
                                  {QStringLiteral("Password"), Declares::password},
                                  {QStringLiteral("Arena"), Declares::arenaName},
                                  {QStringLiteral("ServerIP"), Declares::serverIP},
                                  {QStringLiteral("Port"), portText(Declares::port)},
                              });
}
