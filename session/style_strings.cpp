#include "session/style_strings.h"

#include "session/get_field.h"
#include "session/number_rules.h"

#include <algorithm>

namespace {

quint8 styleValue(const QString& style, qint16 field)
{
    const qint16 value = clampToInt16(numericPrefixValue(GetField(field, style, '~')));
    return static_cast<quint8>(std::clamp<int>(value, 0, 255));
}

} // namespace

StyleValues parseStyle(const QString& style)
{
    return {styleValue(style, 1), styleValue(style, 2), styleValue(style, 3),
            styleValue(style, 4), styleValue(style, 5)};
}
