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
    // costs no reading at all. In the order of Look.
    static const std::array<StyleValues, 8> values{
        parseStyle(QLatin1String(Style::kGreen)), parseStyle(QLatin1String(Style::kLilac)),
        parseStyle(QLatin1String(Style::kRed)),   parseStyle(QLatin1String(Style::kAmber)),
        parseStyle(QLatin1String(Style::kGrey)),  parseStyle(QLatin1String(Style::kViolet)),
        parseStyle(QLatin1String(Style::kPink)),  StyleValues{}};
    return values[static_cast<std::size_t>(look)];
}
