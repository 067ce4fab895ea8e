// Deleting a person and creating a club on a 100,000-person database: both
// walk whole tables, and a deletion must stay well under a frame's worth of
// waiting (50 ms) however many persons there are. The check a save makes
// first must stay under half a second at a million persons.
#include "BenchDatabase.h"
#include "core/db/Database.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/Lookups.h"
#include "core/records/CreateRecords.h"
#include "core/records/DeleteRecords.h"
#include "core/records/IntegrityCheck.h"
#include "core/records/SaveGuard.h"

#include <benchmark/benchmark.h>

namespace {

const QString &installation()
{
    return kx3::bench::installation(11);
}

/// One loaded database shared by the runs: each iteration changes it a little
/// (one person fewer, one club more), which keeps it at the size measured.
kx3::Database &database()
{
    static kx3::Database db;
    if (!db.isLoaded() && !db.load(installation()))
        qFatal("could not load the benchmark database");
    return db;
}

void reportSoundness(benchmark::State &state, const kx3::Database &db)
{
    const QStringList problems = kx3::checkIntegrity(db);
    if (!problems.isEmpty())
        state.SkipWithError(qPrintable(problems.first()));
    state.counters["persons"] = double(db.counters().persons);
}

/// Person 0: every person record, attribute record and history record behind
/// him moves and is renumbered.
void BM_DeleteFirstPerson(benchmark::State &state)
{
    kx3::Database &db = database();
    for (auto _ : state) {
        if (!kx3::deletePerson(db, 0))
            state.SkipWithError("delete refused");
    }
    reportSoundness(state, db);
}

/// The last person: nothing moves in the person table, but every reference
/// is still visited.
void BM_DeleteLastPerson(benchmark::State &state)
{
    kx3::Database &db = database();
    for (auto _ : state) {
        if (!kx3::deletePerson(db, kx3::personCount(db) - 1))
            state.SkipWithError("delete refused");
    }
    reportSoundness(state, db);
}

void BM_InsertClub(benchmark::State &state)
{
    kx3::Database &db = database();
    kx3::ClubNameList names = kx3::ClubNameList::fromDatabase(db);
    kx3::ClubValues values;
    values.nation = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(kx3::insertClub(db, names, values));
    reportSoundness(state, db);
    state.counters["clubs"] = db.clubCount();
}

void BM_IntegrityCheck(benchmark::State &state)
{
    const kx3::Database &db = database();
    for (auto _ : state)
        benchmark::DoNotOptimize(kx3::checkIntegrity(db));
}

/// A sound database: the whole errors pass runs and finds nothing.
void BM_SaveGuard(benchmark::State &state)
{
    const kx3::Database &db = database();
    kx3::SaveGuard guard;
    guard.takeBaseline(db);
    for (auto _ : state) {
        if (!guard.newErrors(db).isEmpty())
            state.SkipWithError("new errors in a sound database");
    }
    state.counters["persons"] = double(db.counters().persons);
}

} // namespace

BENCHMARK(BM_DeleteFirstPerson)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_DeleteLastPerson)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_InsertClub)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_IntegrityCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveGuard)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
