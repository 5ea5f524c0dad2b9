#include "session/style_strings.h"

#include "session/get_field.h"
#include "session/number_rules.h"

#include <algorithm>
#include <array>

namespace {

quint8 styleValue(const QString& style, qint16 field)
{
    const qint16 value = clampToInt16(numericPrefixValue(GetField(field, style, '~')));
    return static_cast<quint8>(std::clamp<int>(value, 0, 255));
}

} // namespace

StyleValues parseStyle(const QString& style)
{
    return {styleValue(style, 1), styleValue(style, 2), styleValue(style, 3), styleValue(style, 4),
            styleValue(style, 5)};
}

const StyleValues& valuesOf(Look look)
{
    // Read on first use, by the same rule as any style string; a flood of messages then
    // costs no reading at all.
    static const std::array<StyleValues, std::size(kLookStyles)> values = [] {
        std::array<StyleValues, std::size(kLookStyles)> read{};
        for (std::size_t i = 0; i < read.size(); ++i)
            read[i] = parseStyle(QLatin1String(kLookStyles[i].style));
        return read;
    }();
    return values[static_cast<std::size_t>(look)];
}
