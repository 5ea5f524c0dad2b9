#include "session/get_field.h"

namespace {

// Where field n starts in text, or -1 when text has fewer fields.
qsizetype fieldStart(qint16 n, const QString& text, QChar separator)
{
    if (n < 1)
        return -1;
    qsizetype start = 0;
    for (qint16 field = 1; field < n; ++field) {
        const qsizetype at = text.indexOf(separator, start);
        if (at < 0)
            return -1;
        start = at + 1;
    }
    return start;
}

} // namespace

QString GetField(qint16 n, const QString& text, int separator)
{
    const QChar sep(separator);
    const qsizetype start = fieldStart(n, text, sep);
    if (start < 0)
        return {};
    const qsizetype end = text.indexOf(sep, start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

QString getFieldsFrom(qint16 n, const QString& text, int separator)
{
    const qsizetype start = fieldStart(n, text, QChar(separator));
    return start < 0 ? QString() : text.mid(start);
}
