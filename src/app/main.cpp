#include "ui/application.h"
#include "ui/form1.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ui::PrepareApplication();
    int code = 0;
    {
        ui::Form1 window;
        window.show();
        code = app.exec();
    }
    // Qt 6.4's Wayland client can hang for good as it is taken down: ~QWaylandDisplay waits for
    // its event thread, which sits in wl_display_read_events (about one close in seven under
    // weston). The window is gone and the program keeps no files, so on Wayland it ends here,
    // leaving the connection to the compositor to the system.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
