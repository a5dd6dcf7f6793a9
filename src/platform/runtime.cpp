#include "runtime.h"

#include "placement.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace rt {

void DoEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ErrorReporter::report(const RuntimeError &error, const QString &detail) const
{
    if (handler_) {
        handler_(error, detail);
        return;
    }
    QString text = QStringLiteral("Laufzeitfehler %1: %2")
                       .arg(error.number())
                       .arg(QString::fromStdString(error.message()));
    if (!detail.isEmpty())
        text += QLatin1Char('\n') + detail;
    QMessageBox::warning(parent_, QStringLiteral("Summenleiter"), text);
}

ScreenSize PrimaryScreenTwips()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QSize px = screen->geometry().size();
    const double tpp = TwipsPerPixel();
    return {static_cast<float>(px.width() * tpp), static_cast<float>(px.height() * tpp)};
}

} // namespace rt
