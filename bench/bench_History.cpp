// What the session's history costs: recording a confirm beside the confirm
// itself, undoing and redoing a confirm, a transfer and the deletion of
// person 0, and the bytes the history keeps for each. KX3_BENCH_PERSONS
// chooses the size (100,000 by default; the targets are set at a million).
#include "BenchDatabase.h"
#include "core/db/Database.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/Lookups.h"
#include "core/people/PersonEdit.h"
#include "core/people/Transfers.h"
#include "core/records/DeleteRecords.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kx3;

Database &database()
{
    static Database db;
    if (!db.isLoaded() && !db.load(bench::installation(21)))
        qFatal("could not load the benchmark database");
    return db;
}

Lookups &lookups()
{
    static Lookups instance;
    static const bool built = (instance.build(database()), true);
    Q_UNUSED(built)
    return instance;
}

/// The player screen's confirm of person `p` with his first name changed,
/// as the screen hands it to the core.
void confirmPerson(Database &db, int p)
{
    const QList<QByteArray> names = lookups().clubNames().names();
    PersonEdit edit = *loadPersonEdit(db, p, RoleScreen::Player, names);
    edit.firstName = edit.firstName == "Osven" ? QByteArray("Venak") : QByteArray("Osven");
    edit.changed.firstName = true;
    if (!applyPersonEdit(db, names, p, edit).ok())
        qFatal("the benchmark's confirm was refused");
}

/// Arg 1: the confirm recorded and closed into a step; arg 0: the confirm
/// alone, nothing recorded. Their ratio is what recording costs.
void BM_ConfirmPerson(benchmark::State &state)
{
    Database &db = database();
    db.clearHistory();
    const bool recorded = state.range(0) != 0;
    int k = 0;
    for (auto _ : state) {
        const int p = (k * 7919) % personCount(db);
        if (!recorded)
            db.history().suspend();
        confirmPerson(db, p);
        ++k;
        if (recorded)
            db.commitStep({QStringLiteral("Confirm"), {}, {}});
        else
            db.history().resume();
    }
    if (recorded)
        state.counters["historyBytesPerStep"] =
            double(db.history().byteSize()) / std::max(1, db.history().undoCount());
    db.clearHistory();
}

/// Undo, then redo, of the step made by `make`; one iteration is both.
template <typename Make>
void undoRedo(benchmark::State &state, Make make)
{
    Database &db = database();
    db.clearHistory();
    const qint64 before =
        db.image(DataFile::Staff).size() + db.image(DataFile::StaffHistory).size();
    make(db);
    if (!db.commitStep({QStringLiteral("Step"), {}, {}}))
        state.SkipWithError("the step changed nothing");
    state.counters["historyBytes"] = double(db.history().byteSize());
    state.counters["staffAndHistoryBytes"] = double(before);
    for (auto _ : state) {
        if (!db.undo() || !db.redo())
            state.SkipWithError("no step to undo or redo");
    }
    db.clearHistory();
}

void BM_UndoRedoConfirm(benchmark::State &state)
{
    undoRedo(state, [](Database &db) { confirmPerson(db, personCount(db) / 2); });
}

void BM_UndoRedoTransfer(benchmark::State &state)
{
    undoRedo(state, [&state](Database &db) {
        for (int p = 0; p < personCount(db); ++p) {
            const int from = person(db, p)->club();
            if (from < 0)
                continue;
            for (int to = 0; to < db.clubCount(); ++to) {
                if (to != from && checkTransfer(db, p, to).ok() && transferPerson(db, p, to).ok())
                    return;
            }
        }
        state.SkipWithError("no transfer possible");
    });
}

/// Every person, attribute and history record behind person 0 moves.
void BM_UndoRedoDeleteFirstPerson(benchmark::State &state)
{
    undoRedo(state, [](Database &db) {
        if (!deletePerson(db, 0))
            qFatal("the benchmark's deletion was refused");
    });
}

/// What the window does beside an undo: the look-ups built again.
void BM_RebuildLookups(benchmark::State &state)
{
    Database &db = database();
    Lookups rebuilt;
    for (auto _ : state)
        rebuilt.build(db);
}

} // namespace

BENCHMARK(BM_ConfirmPerson)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoRedoConfirm)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoRedoTransfer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoRedoDeleteFirstPerson)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RebuildLookups)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
