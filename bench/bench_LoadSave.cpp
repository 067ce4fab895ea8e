// Load and save of a 100,000-person database against the same bytes read
// and written with plain file I/O, flushed to disk the same way. Run with
// KX3_BENCH_PERSONS=1000000 for the sizes of the largest databases.
#include "BenchDatabase.h"
#include "core/db/Database.h"
#include "core/db/PristineCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <fcntl.h>
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

/// Writes the files a save writes, each through a temporary file flushed with
/// fsync and renamed over the original, then flushes the folder so that the
/// renames last: the least any crash-safe save has to do.
void BM_PlainWrite(benchmark::State &state)
{
    kx3::Database db;
    if (!db.load(installation()))
        state.SkipWithError("load failed");
    QList<QPair<QString, QByteArray>> contents;
    for (kx3::Database::SavedFile &file : db.savedFiles())
        contents.append({db.filePath(file.file), std::move(file.content)});
    const QByteArray dir =
        QFile::encodeName(QFileInfo(db.filePath(kx3::DataFile::Index)).absolutePath());
    for (auto _ : state) {
        for (const auto &[path, bytes] : contents) {
            const QString tmp = path + QStringLiteral(".plain");
            QFile f(tmp);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
                || f.write(bytes) != bytes.size() || !f.flush() || ::fsync(f.handle()) != 0)
                state.SkipWithError("cannot write");
            f.close();
            if (::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(path).constData()))
                state.SkipWithError("cannot rename");
        }
        const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0 || ::fsync(fd) != 0)
            state.SkipWithError("cannot flush the folder");
        ::close(fd);
    }
}

/// Saves after the first one: the original files are kept already.
void BM_Save(benchmark::State &state)
{
    kx3::Database db;
    if (!db.load(installation()))
        state.SkipWithError("load failed");
    if (!db.save())
        state.SkipWithError("save failed");
    for (auto _ : state) {
        if (!db.save())
            state.SkipWithError("save failed");
    }
}

/// The first save into an installation, which also keeps the original files.
void BM_FirstSave(benchmark::State &state)
{
    kx3::Database db;
    if (!db.load(installation()))
        state.SkipWithError("load failed");
    const QString kept = installation() + QLatin1Char('/') + kx3::pristineFolderName();
    for (auto _ : state) {
        state.PauseTiming();
        if (!QDir(kept).removeRecursively())
            state.SkipWithError("cannot remove the kept files");
        // Freeing the removed files is no part of a save; flushed now, it is
        // not paid for by the save's first fsync.
        ::sync();
        state.ResumeTiming();
        if (!db.save())
            state.SkipWithError("save failed");
    }
}

} // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FirstSave)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
