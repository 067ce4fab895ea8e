#pragma once

// The generated installation every benchmark measures on, written once per
// program into a temporary folder: 100,000 persons, or as many as the
// environment variable KX3_BENCH_PERSONS says (to see how a cost grows), with
// a club per hundred persons as in the game's own data and everything else
// in proportion (10,000 clubs at a million persons).

#include "DatabaseBuilder.h"
#include "core/db/Database.h"

#include <QTemporaryDir>

#include <algorithm>

namespace kx3::bench {

inline const int Persons = [] {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("KX3_BENCH_PERSONS", &ok);
    return ok && n > 0 ? n : 100000;
}();

/// Path of the generated installation; aborts the program when it cannot be written.
inline const QString &installation(quint32 seed = 1)
{
    static QTemporaryDir dir;
    static const QString path = [&] {
        BuilderOptions options;
        options.seed = seed;
        options.persons = Persons;
        options.clubs = std::max(Persons / 100, 4);
        QString error;
        if (!dir.isValid() || !DatabaseBuilder(options).write(dir.path(), &error))
            qFatal("could not write the benchmark database: %s", qPrintable(error));
        return dir.path();
    }();
    return path;
}

/// The installation loaded once; `error` is set when loading failed.
struct LoadedDatabase
{
    Database db;
    QString error;
    bool ok = false;

    LoadedDatabase()
    {
        ok = db.load(installation());
        if (!ok)
            error = db.errorString();
    }
};

inline LoadedDatabase &loaded()
{
    static LoadedDatabase instance;
    return instance;
}

} // namespace kx3::bench
