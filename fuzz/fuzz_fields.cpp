// GetField and the number rules on arbitrary text: GetField and getFieldsFrom agree
// with a plain split, and the number rules agree with each other.
#include "session/get_field.h"
#include "session/number_rules.h"
#include "session/wire_codec.h"

#include <QStringList>

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text =
        fromWire(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));

    for (const char separator : {':', '~'}) {
        const QStringList parts = text.split(QChar(separator));
        for (qint16 n = -1; n <= parts.size() + 1; ++n) {
            const QString expected = (n >= 1 && n <= parts.size()) ? parts[n - 1] : QString();
            if (GetField(n, text, separator) != expected)
                std::abort();
            const QString rest =
                (n >= 1 && n <= parts.size()) ? parts.mid(n - 1).join(QChar(separator)) : QString();
            if (getFieldsFrom(n, text, separator) != rest)
                std::abort();
        }
    }

    const double prefix = numericPrefixValue(text);
    if (std::isnan(prefix))
        std::abort();
    const qint16 clamped = clampToInt16(prefix);
    if (const std::optional<qint16> rounded = roundToInt16(prefix)) {
        if (*rounded != clamped)
            std::abort();
    } else if (clamped != -32768 && clamped != 32767) {
        std::abort();
    }
    // Half-way values go to the even neighbour.
    if (std::abs(prefix - std::trunc(prefix)) == 0.5 && std::abs(prefix) < 30000 &&
        clamped % 2 != 0)
        std::abort();

    // A text the strict rule accepts reads the same by the prefix rule, unless blanks
    // were ignored by the latter (the strict rule has none).
    if (const std::optional<double> strict = strictNumberValue(text)) {
        if (!(*strict == prefix || (std::isinf(*strict) && std::isinf(prefix))))
            std::abort();
    }
    return 0;
}
