#include "ui/fonts.h"

namespace ui {

namespace {

// Liberation (fonts-liberation2, which the package depends on) and the Croscore fonts share the
// metrics of Arial and Times New Roman.
const QStringList SansFaces{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")};
const QStringList SerifFaces{QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"),
                             QStringLiteral("DejaVu Serif")};

} // namespace

QStringList FontFamilies(const QString &designed)
{
    if (designed == QLatin1String("Times New Roman"))
        return QStringList{designed} + SerifFaces;
    // The classic dialog font; its successor has Arial's widths.
    if (designed == QLatin1String("MS Sans Serif"))
        return QStringList{designed, QStringLiteral("Microsoft Sans Serif")} + SansFaces;
    return QStringList{designed} + SansFaces;
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
    QFont f;
    f.setFamilies(SansFaces);
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(9);
    return f;
}

} // namespace ui
