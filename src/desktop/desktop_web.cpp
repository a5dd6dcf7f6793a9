#include "desktop/desktop.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFontDatabase>
#include <QMessageBox>

namespace rt::desktop {

void IdentifyProgram(const char *)
{
    QCoreApplication::setApplicationName(QStringLiteral("Summenleiter"));
}

// The browser offers Qt no fonts: the page brings Liberation, which has the widths of the designed
// Windows faces, and nothing else.
QStringList SerifFaces()
{
    return {QStringLiteral("Liberation Serif")};
}

QStringList SansFaces()
{
    return {QStringLiteral("Liberation Sans")};
}

QStringList DialogFaces()
{
    return {};
}

void PrepareFonts()
{
    for (const char *face : {"LiberationSerif-Regular", "LiberationSerif-Bold", "LiberationSans-Regular",
                             "LiberationSans-Bold"})
        QFontDatabase::addApplicationFont(QStringLiteral(":/summenleiter/fonts/%1.ttf").arg(QLatin1String(face)));
}

void ShowReport(QWidget *parent, const QString &title, const QString &text, const std::function<void()> &closed)
{
    // A modal box blocks the window as on the desktop, but without a nested event loop, which the
    // browser's one thread cannot run: what follows the report waits for the box's end.
    auto *box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    if (closed)
        QObject::connect(box, &QMessageBox::finished, box, [closed] { closed(); });
    box->open();
}

bool SavesByDownload()
{
    return true;
}

void Download(const QByteArray &bytes, const QString &name)
{
    QFileDialog::saveFileContent(bytes, name);
}

int LeaveAfterWindowClosed(int code)
{
    return code;
}

} // namespace rt::desktop
