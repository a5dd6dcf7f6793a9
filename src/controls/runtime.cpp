#include "controls/runtime.h"

#include "controls/placement.h"
#include "desktop/desktop.h"
#include "rules/numrules.h"

#include <QGuiApplication>
#include <QScreen>

#include <new>

namespace rt {

double Val(QStringView text)
{
    // Any other character ends a number where it stands, as its UTF-8 bytes would.
    std::string ascii(static_cast<std::size_t>(text.size()), '\x80');
    for (qsizetype i = 0; i < text.size(); ++i)
        if (const char16_t c = text[i].unicode(); c < 0x80)
            ascii[static_cast<std::size_t>(i)] = static_cast<char>(c);
    return Val(std::string_view(ascii));
}

void ErrorReporter::report(const RuntimeError &error, const QString &detail, const std::function<void()> &then) const
{
    if (handler_) {
        handler_(error, detail);
        if (then)
            then();
        return;
    }
    QString text =
        QStringLiteral("Laufzeitfehler %1: %2").arg(error.number()).arg(QString::fromStdString(error.message()));
    if (!detail.isEmpty())
        text += QLatin1Char('\n') + detail;
    desktop::ShowReport(parent_, QStringLiteral("Summenleiter"), text, then);
}

void ErrorReporter::reportEscaped(std::exception_ptr escaped) const
{
    try {
        std::rethrow_exception(escaped);
    } catch (const RuntimeError &e) {
        report(e, {});
    } catch (const std::bad_alloc &) {
        report(RuntimeError(ErrorCode::OutOfMemory), {});
    } catch (const std::exception &e) {
        report(RuntimeError(ErrorCode::InternalError), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(RuntimeError(ErrorCode::InternalError), {});
    }
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
