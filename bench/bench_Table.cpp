// What the tables cost on the benchmark database: opening the players table,
// sorting it by a text and by a number column, a three-term filter, setting
// a value on 10,000 rows, exporting every player and importing 10,000
// changed rows. KX3_BENCH_PERSONS chooses the size (100,000 by default; the
// targets are set at a million).
#include "BenchDatabase.h"
#include "core/db/Database.h"
#include "core/lookup/Lookups.h"
#include "core/table/RecordTable.h"
#include "core/table/TableEdit.h"
#include "core/table/TableFilter.h"

#include <benchmark/benchmark.h>

#include <numeric>

namespace {

using namespace kx3;

struct Loaded
{
    Database &db = bench::loaded().db;
    Lookups lookups;
    Loaded() { lookups.build(db); }
};

Loaded &loaded()
{
    static Loaded instance;
    return instance;
}

std::vector<int> everyRow(const RecordTable &t)
{
    std::vector<int> rows(std::size_t(t.rowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

void BM_OpenPlayersTable(benchmark::State &state)
{
    Loaded &l = loaded();
    for (auto _ : state) {
        const RecordTable t(l.db, l.lookups, TableKind::Players);
        // What a view shows first.
        for (int r = 0; r < 40; ++r) {
            for (int c = 0; c < int(t.columns().size()); ++c)
                benchmark::DoNotOptimize(t.text(r, c));
        }
    }
}
BENCHMARK(BM_OpenPlayersTable)->Unit(benchmark::kMillisecond);

void sortBy(benchmark::State &state, const char *column)
{
    Loaded &l = loaded();
    for (auto _ : state) {
        state.PauseTiming();
        auto t = std::make_unique<RecordTable>(l.db, l.lookups, TableKind::Players);
        const std::vector<int> rows = everyRow(*t);
        state.ResumeTiming();
        benchmark::DoNotOptimize(t->sorted(rows, t->column(QLatin1String(column)), true));
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
}

void BM_SortPlayersByName(benchmark::State &state)
{
    sortBy(state, "Second Name");
}
BENCHMARK(BM_SortPlayersByName)->Unit(benchmark::kMillisecond);

void BM_SortPlayersByNumber(benchmark::State &state)
{
    sortBy(state, "Current Ability");
}
BENCHMARK(BM_SortPlayersByNumber)->Unit(benchmark::kMillisecond);

void BM_FilterThreeTerms(benchmark::State &state)
{
    Loaded &l = loaded();
    for (auto _ : state) {
        state.PauseTiming();
        auto t = std::make_unique<RecordTable>(l.db, l.lookups, TableKind::Players);
        state.ResumeTiming();
        const auto f = TableFilter::parse(
            QStringLiteral("Nation != \"<none>\" and Finishing >= 15 and Age < 21"), *t, nullptr);
        benchmark::DoNotOptimize(f->apply(*t));
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FilterThreeTerms)->Unit(benchmark::kMillisecond);

void BM_SetTenThousandRows(benchmark::State &state)
{
    Loaded &l = loaded();
    RecordTable t(l.db, l.lookups, TableKind::Players);
    std::vector<int> rows(std::size_t(std::min(10000, t.rowCount())));
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = int(i * std::size_t(t.rowCount()) / rows.size());
    const int column = t.column(QStringLiteral("Finishing"));
    int value = 0;
    for (auto _ : state) {
        const TableEditOutcome out = bulkEdit(l.db, l.lookups, t, rows, column, BulkOperation::Set,
                                              QString::number(++value % 20));
        if (!out.ok())
            state.SkipWithError("refused");
    }
}
BENCHMARK(BM_SetTenThousandRows)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportPlayers(benchmark::State &state)
{
    Loaded &l = loaded();
    const RecordTable t(l.db, l.lookups, TableKind::Players);
    for (auto _ : state)
        benchmark::DoNotOptimize(exportCsv(t));
    state.counters["rows"] = t.rowCount();
}
BENCHMARK(BM_ExportPlayers)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ImportTenThousandChangedRows(benchmark::State &state)
{
    Loaded &l = loaded();
    RecordTable t(l.db, l.lookups, TableKind::Players);
    const int column = t.column(QStringLiteral("Pace"));
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QByteArray csv = "Index,Pace\r\n";
        const int step = std::max(1, t.rowCount() / 10000);
        for (int r = 0; r < t.rowCount(); r += step) {
            const int now = int(t.value(r, column).value_or(0));
            csv += QByteArray::number(t.record(r)) + ','
                   + QByteArray::number((now + 1 + round) % 20) + "\r\n";
        }
        ++round;
        state.ResumeTiming();
        const TableEditOutcome out = importCsv(l.db, l.lookups, t, csv, false);
        if (!out.ok())
            state.SkipWithError("refused");
    }
}
BENCHMARK(BM_ImportTenThousandChangedRows)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
