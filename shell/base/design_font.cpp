#include "shell/base/design_font.h"

#include <QFontDatabase>

namespace {

// Metric-compatible stand-ins for the families the windows are designed with.
struct FontStandIn
{
    const char* family;
    const char* standIn;
};
constexpr FontStandIn kFontStandIns[] = {
    {"Verdana", "DejaVu Sans"},
    {"MS Sans Serif", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
};

} // namespace

QFont designFont(const QString& family, qreal pointSize, bool bold)
{
    QString installed = family;
    for (const FontStandIn& standIn : kFontStandIns) {
        if (family == QLatin1String(standIn.family) && !QFontDatabase::hasFamily(family))
            installed = QLatin1String(standIn.standIn);
    }
    QFont font(installed);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void substituteDesignFonts()
{
    // They apply only where the family itself is missing.
    for (const FontStandIn& font : kFontStandIns)
        QFont::insertSubstitution(QLatin1String(font.family), QLatin1String(font.standIn));
}
