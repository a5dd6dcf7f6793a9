#include "ui/application.h"

#include "ui/classicstyle.h"
#include "ui/fonts.h"

#include <QApplication>

namespace ui {

void PrepareApplication()
{
    // Qt's Windows style: the classic look the window was designed in, with the focus of a text
    // area shown in its border.
    QApplication::setStyle(new ClassicStyle);
    // Chosen here rather than taken from the desktop: the window's layout is fixed, and a bare
    // system's fallback for the generic families can be a monospace face.
    QApplication::setFont(DefaultControlFont());
    // The X window class, which the menu entry's StartupWMClass names; fixed here so that it does
    // not follow the name the program was started under. On Wayland the app id is the desktop
    // file name.
    QCoreApplication::setApplicationName(QStringLiteral("summenleiter"));
    QGuiApplication::setDesktopFileName(QStringLiteral(SUMMENLEITER_APP_ID));
}

QIcon AppIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/summenleiter/summenleiter-64.png"), QSize(64, 64));
    icon.addFile(QStringLiteral(":/summenleiter/summenleiter-256.png"), QSize(256, 256));
    return icon;
}

} // namespace ui
