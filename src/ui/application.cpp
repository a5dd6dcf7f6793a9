#include "application.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

namespace ui {

void PrepareApplication()
{
    if (QStyle *classic = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(classic);
    QGuiApplication::setDesktopFileName(QStringLiteral("summenleiter"));
}

} // namespace ui
