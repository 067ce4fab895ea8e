// A player search that lists every player of a generated database (100,000
// persons unless KX3_BENCH_PERSONS says otherwise), with the result list's
// model filled and sorted in an English collation and the list shown: what
// the user waits for behind the busy pointer after "Begin Search". Budget:
// one second at a million persons.

#include "BenchDatabase.h"

#include "core/db/Database.h"
#include "core/lookup/Search.h"
#include "gui/widgets/ResultList.h"
#include "gui/widgets/SearchResultModel.h"

#include <QApplication>
#include <QTreeView>

#include <benchmark/benchmark.h>

namespace {

using kx3::bench::LoadedDatabase;
using kx3::bench::loaded;
using kx3::bench::Persons;

// The candidate joins the names with blanks, so one blank lists every player.
const QByteArray EveryPlayer(" ");

void BM_SearchEveryPlayerIntoList(benchmark::State &state)
{
    LoadedDatabase &data = loaded();
    if (!data.ok) {
        state.SkipWithError(qPrintable(data.error));
        return;
    }
    kx3::SearchResultModel model;
    model.setSortLocale(QLocale(QLocale::English, QLocale::UnitedStates), Qt::CaseSensitive);
    QTreeView view;
    kx3::setUpResultList(&view, &model);
    view.show();
    for (auto _ : state) {
        model.setRows(kx3::searchPlayers(data.db, EveryPlayer, false));
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(model.rowCount());
    }
    const auto expected = kx3::searchPlayers(data.db, EveryPlayer, false).size();
    if (std::size_t(model.rowCount()) != expected || expected < std::size_t(Persons / 2)) {
        state.SkipWithError("the list does not hold every player");
        return;
    }
    state.counters["rows"] = double(model.rowCount());
}
BENCHMARK(BM_SearchEveryPlayerIntoList)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same rows sorted without the search, to see where the time goes.
void BM_FillAndSortOnly(benchmark::State &state)
{
    LoadedDatabase &data = loaded();
    if (!data.ok) {
        state.SkipWithError(qPrintable(data.error));
        return;
    }
    const kx3::SearchRows rows = kx3::searchPlayers(data.db, EveryPlayer, false);
    kx3::SearchResultModel model;
    model.setSortLocale(QLocale(QLocale::English, QLocale::UnitedStates), Qt::CaseSensitive);
    for (auto _ : state) {
        model.setRows(rows);
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.counters["rows"] = double(rows.size());
}
BENCHMARK(BM_FillAndSortOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
