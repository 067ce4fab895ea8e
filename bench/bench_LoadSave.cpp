// Load and save of a 100,000-person database against the same bytes read
// and written with plain file I/O, flushed to disk the same way.
#include "BenchDatabase.h"
#include "core/db/Database.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

const QString &installation()
{
    return kx3::bench::installation(7);
}

QStringList dataFiles()
{
    const QDir data(installation() + QStringLiteral("/Data"));
    QStringList files;
    for (const QString &name : data.entryList(QDir::Files))
        files.append(data.filePath(name));
    return files;
}

void BM_PlainRead(benchmark::State &state)
{
    const QStringList files = dataFiles();
    for (auto _ : state) {
        qint64 total = 0;
        for (const QString &path : files) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                state.SkipWithError("cannot read");
            total += f.readAll().size();
        }
        benchmark::DoNotOptimize(total);
    }
}

void BM_Load(benchmark::State &state)
{
    const QString &path = installation(); // generated once, outside the timing
    for (auto _ : state) {
        kx3::Database db;
        if (!db.load(path))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(db.counters());
    }
}

/// Writes every file through a temporary file, flushed with fsync and renamed
/// over the original: the least any crash-safe save has to do.
void BM_PlainWrite(benchmark::State &state)
{
    QList<QPair<QString, QByteArray>> contents;
    for (const QString &path : dataFiles()) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        contents.append({path, f.readAll()});
    }
    for (auto _ : state) {
        for (const auto &[path, bytes] : contents) {
            const QString tmp = path + QStringLiteral(".plain");
            QFile f(tmp);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                state.SkipWithError("cannot write");
            f.write(bytes);
            f.flush();
            ::fsync(f.handle());
            f.close();
            ::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(path).constData());
        }
    }
}

void BM_Save(benchmark::State &state)
{
    kx3::Database db;
    if (!db.load(installation()))
        state.SkipWithError("load failed");
    // The first save also keeps a copy of the original files, once: the
    // timing is of the saves after it.
    if (!db.save())
        state.SkipWithError("save failed");
    for (auto _ : state) {
        if (!db.save())
            state.SkipWithError("save failed");
    }
}

} // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
