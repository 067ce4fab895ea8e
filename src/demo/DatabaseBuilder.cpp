#include "DatabaseBuilder.h"

#include "DatabaseGenerator.h"

#include "core/db/Database.h"
#include "core/db/SetupLines.h"

#include <QDir>
#include <QFile>

namespace kx3 {

DatabaseBuilder::DatabaseBuilder(BuilderOptions options)
    : mOptions(resolveBuilderOptions(options)), mDb(std::make_unique<Database>())
{
    DatabaseGenerator(mOptions, *mDb).run();
}

DatabaseBuilder::~DatabaseBuilder() = default;

QByteArray DatabaseBuilder::content(DataFile file) const
{
    if (file == DataFile::PlayerSetup)
        return serializeSetupLines(mDb->setupLines());
    return mDb->image(file).bytes();
}

std::array<QByteArray, DataFileCount> DatabaseBuilder::files() const
{
    std::array<QByteArray, DataFileCount> all;
    for (DataFile file : AllDataFiles)
        all[std::size_t(file)] = content(file);
    return all;
}

bool DatabaseBuilder::write(const QString &installDir, QString *error) const
{
    const QString dataDir = installDir + QStringLiteral("/Data");
    if (!QDir().mkpath(dataDir)) {
        if (error)
            *error =
                QStringLiteral("Cannot create folder %1").arg(QDir::toNativeSeparators(dataDir));
        return false;
    }
    for (DataFile file : AllDataFiles) {
        const QString path = dataDir + QLatin1Char('/') + dataFileName(file);
        // A file written over is a new file, never the old one rewritten: the
        // old one may be shared with the kept originals (Data.original).
        QFile::remove(path);
        QFile f(path);
        const QByteArray bytes = content(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()
            || !f.flush()) {
            if (error)
                *error =
                    QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(path));
            return false;
        }
    }
    return true;
}

} // namespace kx3
