// What comparing two databases and carrying a patch cost: the change list of
// a database against itself and against a session's edits (a hundred persons
// changed, person 0 deleted, a club inserted, which renumbers every later
// person and every national team), writing that patch, and applying it to
// the database as it began. KX3_BENCH_PERSONS chooses the size (100,000 by
// default; the target, under 3 s for the diff, is set at a million).
#include "BenchDatabase.h"
#include "core/changes/DatabaseDiff.h"
#include "core/changes/ModPatch.h"
#include "core/clubs/ClubEdit.h"
#include "core/db/Database.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/Lookups.h"
#include "core/people/PersonEdit.h"
#include "core/records/DeleteRecords.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kx3;

const std::array<QByteArray, DataFileCount> &startFiles()
{
    static const std::array<QByteArray, DataFileCount> files = [] {
        Database db;
        if (!db.load(bench::installation(31)))
            qFatal("could not load the benchmark database");
        return db.savedFileSet();
    }();
    return files;
}

Database &start()
{
    static Database db;
    if (!db.isLoaded() && !db.loadFiles(startFiles()))
        qFatal("could not load the benchmark database");
    return db;
}

Database &edited()
{
    static Database db;
    if (db.isLoaded())
        return db;
    db.loadFiles(startFiles());
    Lookups lookups;
    lookups.build(db);
    const QList<QByteArray> names = lookups.clubNames().names();
    for (int k = 0; k < 100; ++k) {
        const int p = (k * 7919 + 1) % personCount(db);
        PersonEdit e = *loadPersonEdit(db, p, RoleScreen::Player, names);
        e.boxes[e.boxes.size() - 1] = QString::number(k % 20 + 1);
        applyPersonEdit(db, names, p, e);
    }
    deletePerson(db, 0);
    ClubEdit club = newClubEdit();
    club.longName = "Benchmark United";
    club.shortName = "Benchmark";
    applyClubEdit(db, lookups, std::nullopt, club);
    return db;
}

void BM_DiffUnchanged(benchmark::State &state)
{
    const FormReader a(start());
    const FormReader b(start());
    for (auto _ : state)
        benchmark::DoNotOptimize(diffDatabases(a, b));
}
BENCHMARK(BM_DiffUnchanged)->Unit(benchmark::kMillisecond);

/// The whole of --diff but reading the files: both readers and the diff.
void BM_DiffSession(benchmark::State &state)
{
    std::size_t records = 0;
    for (auto _ : state) {
        const DatabaseDiff diff = diffDatabases(FormReader(start()), FormReader(edited()));
        records = diff.records.size();
    }
    state.counters["records"] = double(records);
}
BENCHMARK(BM_DiffSession)->Unit(benchmark::kMillisecond);

void BM_WritePatch(benchmark::State &state)
{
    const DatabaseDiff diff = diffDatabases(FormReader(start()), FormReader(edited()));
    for (auto _ : state)
        benchmark::DoNotOptimize(writePatch(diff));
}
BENCHMARK(BM_WritePatch)->Unit(benchmark::kMillisecond);

/// Reading the patch, checking it against the database as it began and
/// applying it; the fresh copy it needs is made outside the timing.
void BM_ApplyPatch(benchmark::State &state)
{
    const QByteArray text = writePatch(diffDatabases(FormReader(start()), FormReader(edited())));
    for (auto _ : state) {
        state.PauseTiming();
        Database target;
        target.loadFiles(startFiles());
        Lookups lookups;
        lookups.build(target);
        state.ResumeTiming();
        const std::optional<Patch> patch = readPatch(text, nullptr);
        if (!patch || !applyPatch(target, lookups, *patch, false).ok())
            state.SkipWithError("the patch did not apply");
    }
}
BENCHMARK(BM_ApplyPatch)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
