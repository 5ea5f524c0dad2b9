#include "login/file_rewrite.h"

#include "login/extended_attributes.h"
#include "login/in_place_write.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

void (*stepHook)(RewriteStep) = nullptr;

void reachStep(RewriteStep step)
{
    if (stepHook)
        stepHook(step);
}

void writtenInPlace()
{
    reachStep(RewriteStep::WrittenInPlace);
}

enum class Outcome { Done, Failed, NotHere };

// Whether a replacement must carry the old owner too, or may make do with the group.
enum class Owner { Keep, MayChange };

// The owner and group of the replacement made those of the old file, as far as the
// system allows: true when both are kept.
bool takeOverOwnership(int fd, const struct stat& old)
{
    struct stat fresh
    {
    };
    if (::fstat(fd, &fresh) != 0)
        return false;
    if (fresh.st_uid != old.st_uid && ::fchown(fd, old.st_uid, old.st_gid) == 0)
        return true;
    // An ordinary user cannot give a file away, but may still give it a group of theirs.
    const bool groupKept = fresh.st_gid == old.st_gid || ::fchown(fd, -1, old.st_gid) == 0;
    return fresh.st_uid == old.st_uid && groupKept;
}

// Unbuffered: a buffered QSaveFile reports a write that fails later, when the buffer is
// flushed at commit, too late, and then renames the incomplete file over the old one.
constexpr QIODevice::OpenMode kWriteThrough = QIODevice::WriteOnly | QIODevice::Unbuffered;

Outcome replaceByRename(const QString& target, const QByteArray& content, const struct stat& old,
                        Owner owner)
{
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(kWriteThrough))
        return Outcome::NotHere;
    const int fd = file.handle();
    const bool ownershipKept = takeOverOwnership(fd, old);
    // The access control list among them, whose mask the mode then sets as it was.
    const bool attributesKept = carryExtendedAttributes(QFile::encodeName(target), fd);
    // After the change of owner, which clears the set-id bits.
    const bool modeKept = ::fchmod(fd, old.st_mode & 07777) == 0;
    if (!modeKept || (owner == Owner::Keep && !(ownershipKept && attributesKept))) {
        file.cancelWriting();
        return Outcome::NotHere;
    }
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return Outcome::Failed;
    }
    reachStep(RewriteStep::NewFileWritten);
    // With the content complete, what fails here is most likely the rename (QSaveFile
    // does not say which step failed): a sticky folder lets only the file's owner
    // replace it. The file may still be written in place.
    return file.commit() ? Outcome::Done : Outcome::NotHere;
}

bool createFile(const QString& target, const QByteArray& content)
{
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(kWriteThrough))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    reachStep(RewriteStep::NewFileWritten);
    return file.commit();
}

// The file a path stands for: the target of a symbolic link, the path itself otherwise.
QString resolved(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

} // namespace

bool rewriteFile(const QString& path, const QByteArray& content)
{
    const QString target = resolved(path);
    const QByteArray targetName = QFile::encodeName(target);
    struct stat old
    {
    };
    if (::stat(targetName.constData(), &old) != 0)
        return errno == ENOENT && createFile(target, content);
    if (!S_ISREG(old.st_mode))
        return false;

    // A new file would take only this name with it; the file's other names would keep
    // the old content.
    if (old.st_nlink > 1)
        return writeInPlace(targetName, content, writtenInPlace) == InPlaceWrite::Written;

    const Outcome renamed = replaceByRename(target, content, old, Owner::Keep);
    if (renamed != Outcome::NotHere)
        return renamed == Outcome::Done;
    switch (writeInPlace(targetName, content, writtenInPlace)) {
    case InPlaceWrite::Written:
        return true;
    case InPlaceWrite::Failed:
        return false;
    case InPlaceWrite::NotAllowed:
        break;
    }
    // Someone else's file that this user may not write, in a folder where the user may
    // replace it: replaced as before, with its group and mode.
    return replaceByRename(target, content, old, Owner::MayChange) == Outcome::Done;
}

void setRewriteStepHookForTests(void (*hook)(RewriteStep))
{
    stepHook = hook;
}
