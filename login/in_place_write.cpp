#include "login/in_place_write.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes the descriptor when the write is over, whichever way it ends.
class Descriptor
{
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Moves all of a buffer from or to the start of the file with transfer (pread or
// pwrite), going on after interruptions and short transfers.
template <typename Buffer, typename Transfer>
bool transferAll(int fd, Buffer* data, qsizetype size, Transfer transfer)
{
    qsizetype done = 0;
    while (done < size) {
        const ssize_t n = transfer(fd, data + done, static_cast<size_t>(size - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

bool writeAllAt(int fd, const QByteArray& bytes)
{
    return transferAll(fd, bytes.constData(), bytes.size(), ::pwrite);
}

bool readAllAt(int fd, QByteArray& bytes)
{
    return transferAll(fd, bytes.data(), bytes.size(), ::pread);
}

// Makes sure the blocks of a longer content exist before any old byte is overwritten,
// so that a full disk stops the save while the old content is still whole. File
// systems that cannot reserve space are written without.
bool reserveSpace(int fd, qsizetype size)
{
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) == 0)
        return true;
    return errno == EOPNOTSUPP || errno == ENOSYS;
}

} // namespace

InPlaceWrite writeInPlace(const QByteArray& fileName, const QByteArray& content,
                          void (*afterWrite)())
{
    const Descriptor fd(::open(fileName.constData(), O_RDWR | O_CLOEXEC));
    if (fd.get() < 0)
        return InPlaceWrite::NotAllowed;
    struct stat status
    {
    };
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return InPlaceWrite::Failed;

    const auto oldSize = static_cast<qsizetype>(status.st_size);
    QByteArray old(oldSize, Qt::Uninitialized);
    if (!readAllAt(fd.get(), old))
        return InPlaceWrite::Failed;
    if (content.size() > oldSize && !reserveSpace(fd.get(), content.size()))
        return InPlaceWrite::Failed;

    QByteArray padded = content;
    if (padded.size() < oldSize)
        padded.append(QByteArray(oldSize - padded.size(), ' '));
    if (!writeAllAt(fd.get(), padded)) {
        [[maybe_unused]] const bool restored = writeAllAt(fd.get(), old) &&
                                               ::ftruncate(fd.get(), oldSize) == 0 &&
                                               ::fdatasync(fd.get()) == 0;
        return InPlaceWrite::Failed;
    }
    ::fdatasync(fd.get());
    if (afterWrite)
        afterWrite();
    // Should this fail, the blanks stay behind the new content, where they read as an
    // empty last line.
    if (padded.size() != content.size()) {
        [[maybe_unused]] const bool cut = ::ftruncate(fd.get(), content.size()) == 0;
    }
    ::fdatasync(fd.get());
    return InPlaceWrite::Written;
}
