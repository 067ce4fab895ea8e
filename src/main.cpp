#include "gui/app/TMainForm.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KX3 Pre-Data Editor"));
    QApplication::setApplicationDisplayName(QStringLiteral("KX3 Pre-Data Editor"));
    kx3::TMainForm window;
    window.show();
    return app.exec();
}
