// Writes a generated game database: kx3demo <installDir> [persons] [seed]
// kx3demo --find-installation tells (exit 0) whether the game is installed, so
// the run script knows whether to start the editor on a demo database instead.
#include "DatabaseBuilder.h"
#include "core/db/InstallationLookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    QTextStream out(stdout);
    if (args.size() == 2 && args.at(1) == QLatin1String("--find-installation")) {
        const auto source = kx3::createSystemInstallationSource();
        bool found = false;
        for (kx3::Edition e : {kx3::Edition::Kickora3, kx3::Edition::Kickora9900}) {
            if (const auto folder = source->location(e)) {
                out << *folder << '\n';
                found = true;
            }
        }
        return found ? 0 : 1;
    }
    if (args.size() < 2 || args.size() > 4) {
        err << "usage: kx3demo <installDir> [persons] [seed] | kx3demo --find-installation\n";
        return 2;
    }
    kx3::BuilderOptions options;
    bool ok = true;
    if (args.size() > 2)
        options.persons = args.at(2).toInt(&ok);
    if (ok && args.size() > 3)
        options.seed = args.at(3).toUInt(&ok);
    if (!ok || options.persons < 0) {
        err << "kx3demo: persons and seed must be non-negative whole numbers\n";
        return 2;
    }
    QString error;
    const QString installDir = QDir(args.at(1)).absolutePath();
    if (!kx3::DatabaseBuilder(options).write(installDir, &error)) {
        err << "kx3demo: " << error << '\n';
        return 1;
    }
    out << QDir::toNativeSeparators(installDir + QStringLiteral("/Data")) << '\n';
    return 0;
}
