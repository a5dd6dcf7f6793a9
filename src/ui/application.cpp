#include "ui/application.h"

#include "desktop/desktop.h"
#include "ui/classicstyle.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ui {

void PrepareApplication()
{
    // Qt's Windows style: the classic look the window was designed in, with the focus of a text
    // area shown in its border.
    QApplication::setStyle(new ClassicStyle);
    rt::desktop::PrepareFonts();
    // Chosen here rather than taken from the desktop: the window's layout is fixed, and a bare
    // system's fallback for the generic families can be a monospace face.
    QApplication::setFont(DefaultControlFont());
    rt::desktop::IdentifyProgram(SUMMENLEITER_APP_ID);
    // The toolkit's own texts (the save dialog, a text box's menu) in German, as every text of the
    // program is, where the system has Qt's translations; otherwise they stay English.
    auto *qtTexts = new QTranslator(qApp);
    if (qtTexts->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    else
        delete qtTexts;
}

int LeaveApplication(int code)
{
    return rt::desktop::LeaveAfterWindowClosed(code);
}

QIcon AppIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/summenleiter/summenleiter-64.png"), QSize(64, 64));
    icon.addFile(QStringLiteral(":/summenleiter/summenleiter-256.png"), QSize(256, 256));
    return icon;
}

} // namespace ui
