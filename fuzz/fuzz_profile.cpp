// The profile-file reader and writer on a file's text: an arbitrary file, then a key
// written and read back. The written value must read back as the reader presents
// values, the other keys must read as before, and every other line of the file must
// survive in order.
#include "login/profile_file.h"
#include "session/wire_codec.h"

#include <QByteArrayList>

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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The input: file content, then section, key and value, separated by 0x01 bytes.
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\x01');
    const QByteArray content = parts.value(0);
    const QString section = safeName(parts.value(1), "INIT");
    const QString key = safeName(parts.value(2), "Name");
    const QString value = fromWire(parts.value(3));
    const QString other = QStringLiteral("Port");

    const QString before = fromWire(content);
    const QString after = ProfileFile::writeToText(before, section, key, value);

    if (ProfileFile::readFromText(after, section, key) != asRead(value))
        std::abort();
    if (key.compare(other, Qt::CaseInsensitive) != 0 &&
        ProfileFile::readFromText(after, section, other) !=
            ProfileFile::readFromText(before, section, other))
        std::abort();

    // Every line but the key's own survives, in order; at most the key's line is gone,
    // and at most a section header and the key's line are new.
    const QList<QByteArray> oldLines = linesOf(content);
    const QList<QByteArray> newLines = linesOf(toWire(after));
    qsizetype b = 0;
    qsizetype dropped = 0;
    for (qsizetype a = 0; a < newLines.size() && b < oldLines.size(); ++a) {
        if (newLines[a] == oldLines[b]) {
            ++b;
        } else if (b + 1 < oldLines.size() && newLines[a] == oldLines[b + 1] && dropped == 0) {
            ++dropped;
            b += 2;
        }
    }
    dropped += oldLines.size() - b;
    if (dropped > 1 || newLines.size() > oldLines.size() + 2)
        std::abort();
    return 0;
}
