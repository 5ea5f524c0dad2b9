#include "shell/base/design_font.h"

#include <QFontDatabase>
#include <QHash>

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

// Whether the machine has a designed family, looked up once a family in the list of
// installed families. QFontDatabase::hasFamily would also run the font configuration's
// whole set of substitution rules for each question, several milliseconds a family
// that the dialog would spend before it first shows.
bool designFamilyInstalled(const FontStandIn& standIn)
{
    static QHash<const char*, bool> known;
    const auto found = known.constFind(standIn.family);
    if (found != known.constEnd())
        return *found;
    const bool installed =
        QFontDatabase::families().contains(QLatin1String(standIn.family), Qt::CaseInsensitive);
    known.insert(standIn.family, installed);
    return installed;
}

} // namespace

QFont designFont(const QString& family, qreal pointSize, bool bold)
{
    QString installed = family;
    for (const FontStandIn& standIn : kFontStandIns) {
        if (family == QLatin1String(standIn.family) && !designFamilyInstalled(standIn))
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
