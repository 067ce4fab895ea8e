// Name searches over a generated 100,000-person database, rows built.
//
// The searches run in the GUI thread behind a busy pointer, so a search that
// lists every record must still feel immediate: well under 30 ms.

#include "BenchDatabase.h"

#include "core/db/Database.h"
#include "core/lookup/Search.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

using kx3::bench::LoadedDatabase;
using kx3::bench::loaded;

using SearchFunction = kx3::SearchRows (*)(const kx3::Database &, const QByteArray &, bool);

void runSearch(benchmark::State &state, SearchFunction search, const QByteArray &text,
               bool caseSensitive, qsizetype expectedRows)
{
    LoadedDatabase &data = loaded();
    if (!data.ok) {
        state.SkipWithError(qPrintable(data.error));
        return;
    }
    std::size_t rows = 0;
    for (auto _ : state) {
        kx3::SearchRows found = search(data.db, text, caseSensitive);
        rows = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    if (expectedRows >= 0 && qsizetype(rows) != expectedRows) {
        state.SkipWithError("the search did not list every record");
        return;
    }
    state.counters["rows"] = double(rows);
}

qsizetype clubTotal()
{
    return loaded().ok ? loaded().db.clubs().recordCount(kx3::RecordSize::Club) : -1;
}

// Every candidate joins the names with blanks, so one blank lists every player.
void BM_PlayersAll(benchmark::State &state)
{
    runSearch(state, kx3::searchPlayers, " ", false, -1);
}
BENCHMARK(BM_PlayersAll)->Unit(benchmark::kMillisecond);

void BM_PlayersTypical(benchmark::State &state)
{
    runSearch(state, kx3::searchPlayers, "ald", false, -1);
}
BENCHMARK(BM_PlayersTypical)->Unit(benchmark::kMillisecond);

void BM_PlayersCaseSensitive(benchmark::State &state)
{
    runSearch(state, kx3::searchPlayers, " ", true, -1);
}
BENCHMARK(BM_PlayersCaseSensitive)->Unit(benchmark::kMillisecond);

void BM_StaffAll(benchmark::State &state)
{
    runSearch(state, kx3::searchStaff, " ", false, -1);
}
BENCHMARK(BM_StaffAll)->Unit(benchmark::kMillisecond);

// Every stored long name ends its field with the byte 0xFF, which the block
// carries, so that byte lists every club and national team.
void BM_ClubsAll(benchmark::State &state)
{
    runSearch(state, kx3::searchClubs, "\xFF", false, clubTotal());
}
BENCHMARK(BM_ClubsAll)->Unit(benchmark::kMillisecond);

void BM_ClubsTypical(benchmark::State &state)
{
    runSearch(state, kx3::searchClubs, "united", false, -1);
}
BENCHMARK(BM_ClubsTypical)->Unit(benchmark::kMillisecond);

void BM_OfficialsAll(benchmark::State &state)
{
    runSearch(state, kx3::searchOfficials, " ", false, -1);
}
BENCHMARK(BM_OfficialsAll)->Unit(benchmark::kMillisecond);

void BM_CitiesTypical(benchmark::State &state)
{
    runSearch(state, kx3::searchCities, "an", false, -1);
}
BENCHMARK(BM_CitiesTypical)->Unit(benchmark::kMillisecond);

void BM_StadiumsTypical(benchmark::State &state)
{
    runSearch(state, kx3::searchStadiums, "an", false, -1);
}
BENCHMARK(BM_StadiumsTypical)->Unit(benchmark::kMillisecond);

void BM_NationsTypical(benchmark::State &state)
{
    runSearch(state, kx3::searchNations, "an", false, -1);
}
BENCHMARK(BM_NationsTypical)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const LoadedDatabase &data = loaded();
    if (data.ok) {
        const kx3::Database &db = data.db;
        std::printf(
            "database: %d persons, %lld clubs and national teams, %lld officials, "
            "%lld cities, %lld stadiums, %lld nations\n",
            db.counters().persons, qlonglong(db.clubs().recordCount(kx3::RecordSize::Club)),
            qlonglong(db.image(kx3::DataFile::Officials).recordCount(kx3::RecordSize::Official)),
            qlonglong(db.image(kx3::DataFile::City).recordCount(kx3::RecordSize::City)),
            qlonglong(db.image(kx3::DataFile::Stadium).recordCount(kx3::RecordSize::Stadium)),
            qlonglong(db.image(kx3::DataFile::Nation).recordCount(kx3::RecordSize::Nation)));
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
