#include "session/number_rules.h"

#include <cmath>
#include <limits>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Length of the decimal number that starts text at position 0 (0 when there is none).
qsizetype numberLength(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == u'.') {
        qsizetype j = i + 1;
        qsizetype fraction = 0;
        while (j < n && isDigit(text[j])) {
            ++j;
            ++fraction;
        }
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0)
        return 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        const qsizetype expStart = j;
        while (j < n && isDigit(text[j]))
            ++j;
        if (j > expStart)
            i = j;
    }
    return i;
}

double parse(const QString& number)
{
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (ok)
        return value;
    // toDouble refuses values beyond the double range; they are infinite for our purposes.
    return number.startsWith(u'-') ? -std::numeric_limits<double>::infinity()
                                   : std::numeric_limits<double>::infinity();
}

} // namespace

double numericPrefixValue(const QString& text)
{
    QString compact;
    compact.reserve(text.size());
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n')
            compact.append(c);
    }
    const qsizetype length = numberLength(compact);
    return length == 0 ? 0.0 : parse(compact.left(length));
}

std::optional<double> strictNumberValue(const QString& text)
{
    const qsizetype length = numberLength(text);
    if (length == 0 || length != text.size())
        return std::nullopt;
    return parse(text);
}

std::optional<qint16> roundToInt16(double value)
{
    const double rounded = std::nearbyint(value); // the default rounding mode: half to even
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

qint16 clampToInt16(double value)
{
    const double rounded = std::nearbyint(value);
    if (rounded < -32768.0)
        return -32768;
    if (rounded > 32767.0)
        return 32767;
    return static_cast<qint16>(rounded);
}
