#include "core/app/CommandLine.h"
#include "gui/app/TMainForm.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // Decided before any application object exists: only the window needs a display.
    const kx3::CommandLine command = kx3::parseCommandLine(kx3::argumentList(argc, argv));
    if (!command.opensWindow()) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return kx3::runCommandLine(command, out, err);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KX3 Pre-Data Editor"));
    QApplication::setApplicationDisplayName(QStringLiteral("KX3 Pre-Data Editor"));
    QApplication::setApplicationVersion(kx3::programVersion());
    QApplication::setDesktopFileName(QStringLiteral(KX3_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(KX3_APP_ID)));
    const auto window = kx3::TMainForm::create(command.installDir);
    window->show();
    return app.exec();
}
