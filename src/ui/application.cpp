#include "ui/application.h"

#include <QApplication>
#include <QStyleFactory>

namespace ui {

void PrepareApplication()
{
    // Qt's Windows style: the classic look the window was designed in.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
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
