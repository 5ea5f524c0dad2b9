#include "session/get_field.h"

QString GetField(qint16 n, const QString& text, int separator)
{
    if (n < 1)
        return {};
    const QChar sep(separator);
    qsizetype start = 0;
    for (qint16 field = 1; field < n; ++field) {
        const qsizetype at = text.indexOf(sep, start);
        if (at < 0)
            return {};
        start = at + 1;
    }
    const qsizetype end = text.indexOf(sep, start);
    return text.mid(start, end < 0 ? -1 : end - start);
}
