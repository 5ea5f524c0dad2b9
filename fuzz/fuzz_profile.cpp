// The profile-file reader and writer: an arbitrary file, then a key written and read
// back. The written value must read back as the reader presents values, the other
// keys must read as before, and every other line of the file must survive in order.
#include "login/profile_file.h"
#include "session/wire_codec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QString safeName(const QByteArray& bytes, const char* fallback)
{
    QString name;
    for (const char c : bytes) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            name += QLatin1Char(c);
    }
    return name.isEmpty() ? QString::fromLatin1(fallback) : name;
}

// What the reader hands back for a stored value.
QString asRead(QString value)
{
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    qsizetype start = 0;
    qsizetype end = value.size();
    while (start < end && (value[start] == u' ' || value[start] == u'\t'))
        ++start;
    while (end > start && (value[end - 1] == u' ' || value[end - 1] == u'\t'))
        --end;
    value = value.mid(start, end - start);
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value.left(ProfileFile::kMaxValueLength);
}

QList<QByteArray> linesOf(const QByteArray& content)
{
    QList<QByteArray> lines = content.split('\n');
    if (lines.back().isEmpty())
        lines.removeLast(); // what follows the last line end
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/orvex-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/orvex-fuzz-XXXXXX"));
    // The input: file content, then section, key and value, separated by 0x01 bytes.
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\x01');
    const QByteArray content = parts.value(0);
    const QString section = safeName(parts.value(1), "INIT");
    const QString key = safeName(parts.value(2), "Name");
    const QString value = fromWire(parts.value(3));
    const QString other = QStringLiteral("Port");

    const QString path = dir.filePath(QStringLiteral("Game.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(content);
    }
    const QString otherBefore = ProfileFile::readString(path, section, other);
    ProfileFile::writeString(path, section, key, value);

    if (ProfileFile::readString(path, section, key) != asRead(value))
        std::abort();
    if (key.compare(other, Qt::CaseInsensitive) != 0 &&
        ProfileFile::readString(path, section, other) != otherBefore)
        std::abort();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    const QList<QByteArray> before = linesOf(content);
    const QList<QByteArray> after = linesOf(file.readAll());
    // Every line but the key's own survives, in order; at most the key's line is gone,
    // and at most a section header and the key's line are new.
    qsizetype b = 0;
    qsizetype dropped = 0;
    for (qsizetype a = 0; a < after.size() && b < before.size(); ++a) {
        if (after[a] == before[b]) {
            ++b;
        } else if (b + 1 < before.size() && after[a] == before[b + 1] && dropped == 0) {
            ++dropped;
            b += 2;
        }
    }
    dropped += before.size() - b;
    if (dropped > 1 || after.size() > before.size() + 2)
        std::abort();
    return 0;
}
