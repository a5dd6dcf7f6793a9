#include "ui/application.h"

#include "ui/classicstyle.h"

#include <QApplication>

namespace ui {

void PrepareApplication()
{
    QApplication::setStyle(new ClassicStyle);
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
