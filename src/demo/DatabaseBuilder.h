#pragma once

#include "core/db/DataFiles.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>

namespace kx3 {

class Database;

/// Size and seed of a generated database. Every count left negative is
/// derived from the number of persons, never below a small minimum.
struct BuilderOptions
{
    quint32 seed = 1;
    int persons = 200;
    int nations = -1;
    int clubs = -1;
    int cities = -1;
    int stadiums = -1;
    int officials = -1;
    int competitions = -1;
    int nationCompHistory = -1;
};

/// Builds a consistent game database of any size from a seed: every file of
/// the Data folder, with matching counters, position slots, name usage counts
/// and table of contents. The same options always give the same bytes.
///
/// Used for test fixtures, benchmark inputs and the demo installation.
class DatabaseBuilder
{
public:
    explicit DatabaseBuilder(BuilderOptions options = {});
    ~DatabaseBuilder();
    DatabaseBuilder(const DatabaseBuilder &) = delete;
    DatabaseBuilder &operator=(const DatabaseBuilder &) = delete;

    /// The options with every derived count filled in.
    const BuilderOptions &options() const { return mOptions; }

    /// The bytes of one file as the game keeps it on disk.
    QByteArray content(DataFile file) const;
    /// Every file's bytes, indexed by DataFile, as Database::loadFiles takes them.
    std::array<QByteArray, DataFileCount> files() const;

    /// Writes every file into `installDir`/Data (created when missing).
    bool write(const QString &installDir, QString *error = nullptr) const;

private:
    BuilderOptions mOptions;
    std::unique_ptr<Database> mDb;
};

} // namespace kx3
