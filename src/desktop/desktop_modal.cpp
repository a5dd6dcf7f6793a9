#include "desktop/desktop.h"

#include <QMessageBox>

// What the Linux desktop and Windows share: a modal report, and saving through a save dialog.
namespace rt::desktop {

void PrepareFonts()
{
    // The system's font list has the faces.
}

void ShowReport(QWidget *parent, const QString &title, const QString &text, const std::function<void()> &closed)
{
    QMessageBox::warning(parent, title, text);
    if (closed)
        closed();
}

bool SavesByDownload()
{
    return false;
}

void Download(const QByteArray &, const QString &)
{
}

} // namespace rt::desktop
