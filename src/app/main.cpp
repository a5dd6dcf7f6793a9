#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Summenleiter"));
    window.setWindowTitle(QStringLiteral("Summenleiter"));
    window.show();
    return app.exec();
}
