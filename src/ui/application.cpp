#include "application.h"

#include "classicstyle.h"

#include <QApplication>

namespace ui {

void PrepareApplication()
{
    QApplication::setStyle(new ClassicStyle);
    QGuiApplication::setDesktopFileName(QStringLiteral(SUMMENLEITER_APP_ID));
}

} // namespace ui
