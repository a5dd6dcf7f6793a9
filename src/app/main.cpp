#include "ui/application.h"
#include "ui/form1.h"

#include <QApplication>

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
    return ui::LeaveApplication(code);
}
