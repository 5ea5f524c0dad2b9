#include "login/extended_attributes.h"

#include <QList>

#include <cerrno>

#include <sys/xattr.h>

namespace {

// Reads a list or a value whose size is asked first, asking again while it grows in
// between. Empty when the file system keeps no attributes at all.
template <typename Read> bool readSized(Read read, QByteArray& into)
{
    for (;;) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0) {
            into.clear();
            return errno == ENOTSUP;
        }
        into.resize(size);
        const ssize_t got = read(into.data(), into.size());
        if (got >= 0) {
            into.resize(got);
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

// The names in a list as listxattr gives it: each ends with a NUL.
QList<QByteArray> namesIn(const QByteArray& list)
{
    QList<QByteArray> names;
    for (const QByteArray& name : list.split('\0'))
        if (!name.isEmpty())
            names.append(name);
    return names;
}

} // namespace

bool carryExtendedAttributes(const QByteArray& oldFileName, int fd)
{
    const char* old = oldFileName.constData();
    QByteArray oldList;
    QByteArray newList;
    if (!readSized([old](char* buffer, size_t size) { return ::listxattr(old, buffer, size); },
                   oldList) ||
        !readSized([fd](char* buffer, size_t size) { return ::flistxattr(fd, buffer, size); },
                   newList))
        return false;
    const QList<QByteArray> oldNames = namesIn(oldList);

    for (const QByteArray& name : namesIn(newList)) {
        if (!oldNames.contains(name) && ::fremovexattr(fd, name.constData()) != 0)
            return false;
    }
    for (const QByteArray& name : oldNames) {
        QByteArray value;
        const auto get = [old, &name](char* buffer, size_t size) {
            return ::getxattr(old, name.constData(), buffer, size);
        };
        if (!readSized(get, value))
            return false;
        // One the new file already has alike (a security label, a list its folder gave
        // it) is left as it is: setting it may need rights that keeping it does not.
        QByteArray present;
        const auto getNew = [fd, &name](char* buffer, size_t size) {
            return ::fgetxattr(fd, name.constData(), buffer, size);
        };
        if (readSized(getNew, present) && present == value)
            continue;
        if (::fsetxattr(fd, name.constData(), value.constData(), value.size(), 0) != 0)
            return false;
    }
    return true;
}
