#include "cli/command_line.h"
#include "ui/application.h"
#include "ui/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
#if SUMMENLEITER_COMMAND_LINE
    // Before any Qt object: the command line needs no display, and works over ssh and in a pipe.
    if (cli::IsCommandLine(argc, argv))
        return cli::Main(argc, argv);
#endif
    QApplication app(argc, argv);
    ui::PrepareApplication();
    int code = 0;
    {
        ui::Form1 window;
        window.show();
        code = app.exec();
    }
    return ui::LeaveApplication(code);
}
