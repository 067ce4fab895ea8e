// Writes a generated game database: kx3demo <installDir> [persons] [seed]
// kx3demo --find-installation tells (exit 0) whether the game is installed, so
// the run script knows whether to start the editor on a demo database instead.
// A wrong command line writes nothing and ends with status 2.
#include "DatabaseBuilder.h"
#include "core/db/InstallationLookup.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <limits>

namespace {

// Beyond this the staff tables' 32-bit counters could overflow.
constexpr qint64 MaxPersons = 5'000'000;

int usageError(const QString &message)
{
    QTextStream(stderr) << "kx3demo: " << message << '\n'
                        << "Usage: kx3demo <installDir> [persons] [seed] | --find-installation | "
                           "--help\n";
    return 2;
}

/// `text` as a whole number in [0, max], or -1.
qint64 wholeNumber(const QString &text, qint64 max)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok && value >= 0 && value <= max ? value : -1;
}

int findInstallation()
{
    QTextStream out(stdout);
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kx3demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a generated game database into <installDir>/Data."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption find(
        QStringLiteral("find-installation"),
        QStringLiteral("Print the recorded game folders; exit 0 when one is found, else 1."));
    parser.addOption(find);
    parser.addPositionalArgument(QStringLiteral("installDir"),
                                 QStringLiteral("Folder of the installation to write."));
    parser.addPositionalArgument(QStringLiteral("persons"),
                                 QStringLiteral("Number of persons (default 200)."),
                                 QStringLiteral("[persons]"));
    parser.addPositionalArgument(QStringLiteral("seed"),
                                 QStringLiteral("Seed of the generator (default 1)."),
                                 QStringLiteral("[seed]"));

    if (!parser.parse(app.arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        QTextStream(stdout) << parser.helpText();
        return 0;
    }
    const QStringList args = parser.positionalArguments();
    if (parser.isSet(find)) {
        if (!args.isEmpty())
            return usageError(QStringLiteral("--find-installation takes no arguments."));
        return findInstallation();
    }
    if (args.isEmpty() || args.at(0).isEmpty())
        return usageError(QStringLiteral("the installation folder is missing."));
    if (args.size() > 3) {
        return usageError(QStringLiteral("unexpected argument \"%1\".").arg(args.at(3)));
    }

    kx3::BuilderOptions options;
    if (args.size() > 1) {
        const qint64 persons = wholeNumber(args.at(1), MaxPersons);
        if (persons < 0) {
            return usageError(QStringLiteral("persons must be a whole number from 0 to "
                                             "%1, not \"%2\".")
                                  .arg(MaxPersons)
                                  .arg(args.at(1)));
        }
        options.persons = int(persons);
    }
    if (args.size() > 2) {
        const qint64 max = std::numeric_limits<quint32>::max();
        const qint64 seed = wholeNumber(args.at(2), max);
        if (seed < 0) {
            return usageError(
                QStringLiteral("seed must be a whole number from 0 to %1, not \"%2\".")
                    .arg(max)
                    .arg(args.at(2)));
        }
        options.seed = quint32(seed);
    }

    QString error;
    const QString installDir = QDir(args.at(0)).absolutePath();
    if (!kx3::DatabaseBuilder(options).write(installDir, &error)) {
        QTextStream(stderr) << "kx3demo: " << error << '\n';
        return 1;
    }
    QTextStream(stdout) << QDir::toNativeSeparators(installDir + QStringLiteral("/Data")) << '\n';
    return 0;
}
