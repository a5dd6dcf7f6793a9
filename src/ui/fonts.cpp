#include "ui/fonts.h"

#include "desktop/desktop.h"

namespace ui {

QStringList FontFamilies(const QString &designed)
{
    if (designed == QLatin1String("Times New Roman"))
        return QStringList{designed} + rt::desktop::SerifFaces();
    if (designed == QLatin1String("MS Sans Serif"))
        return rt::desktop::DialogFaces() + rt::desktop::SansFaces();
    return QStringList{designed} + rt::desktop::SansFaces();
}

QFont DesignedFont(const QString &family, double points, bool bold)
{
    QFont f;
    f.setFamilies(FontFamilies(family));
    f.setStyleHint(family == QLatin1String("Times New Roman") ? QFont::Serif : QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    return f;
}

QFont DefaultControlFont()
{
    // The classic default of a control without a font of its own.
    QFont f;
    f.setFamilies(FontFamilies(QStringLiteral("MS Sans Serif")));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(9);
    return f;
}

} // namespace ui
