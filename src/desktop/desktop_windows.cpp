#include "desktop/desktop.h"

#include <QCoreApplication>

namespace rt::desktop {

void IdentifyProgram(const char *)
{
    // Windows takes the program's name and icon from its version resource and its Start-menu link.
    QCoreApplication::setApplicationName(QStringLiteral("Summenleiter"));
}

// Every Windows since 2000 has the designed faces themselves. Liberation has their widths, for a
// system that lacks them: Wine offers the host's fonts under their own names.
QStringList SerifFaces()
{
    return {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos")};
}

QStringList SansFaces()
{
    return {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")};
}

QStringList DialogFaces()
{
    // "MS Sans Serif" itself is a bitmap font in fixed sizes; Windows maps the name to its TrueType
    // successor, which has the same widths, and so does the program.
    return {QStringLiteral("Microsoft Sans Serif")};
}

int LeaveAfterWindowClosed(int code)
{
    return code;
}

} // namespace rt::desktop
