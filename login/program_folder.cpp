#include "login/program_folder.h"

#include <QCoreApplication>

namespace {

QString& overrideFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString programFolder()
{
    return overrideFolder().isEmpty() ? QCoreApplication::applicationDirPath() : overrideFolder();
}

void overrideProgramFolderForTests(const QString& folder)
{
    overrideFolder() = folder;
}
