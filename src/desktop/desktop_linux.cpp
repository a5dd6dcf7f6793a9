#include "desktop/desktop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QObject>

#include <cstdio>
#include <cstdlib>

namespace rt::desktop {

void IdentifyProgram(const char *appId)
{
    // The X window class, which the menu entry's StartupWMClass names; fixed here so that it does
    // not follow the name the program was started under. On Wayland the app id is the desktop
    // file name.
    QCoreApplication::setApplicationName(QStringLiteral("summenleiter"));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(appId));
}

// Liberation (fonts-liberation2, which the package depends on) and the Croscore fonts share the
// metrics of Arial and Times New Roman.
QStringList SerifFaces()
{
    return {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"), QStringLiteral("DejaVu Serif")};
}

QStringList SansFaces()
{
    return {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")};
}

QStringList DialogFaces()
{
    // Its successor has Arial's widths.
    return {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif")};
}

int LeaveAfterWindowClosed(int code)
{
    // Qt 6.4's Wayland client can hang for good as it is taken down: ~QWaylandDisplay waits for
    // its event thread, which sits in wl_display_read_events (about one close in seven under
    // weston). The window is gone and the program keeps no files, so on Wayland it ends here,
    // leaving the connection to the compositor to the system.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}

} // namespace rt::desktop
