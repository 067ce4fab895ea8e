// A player search that lists every player of a generated database (100,000
// persons unless KX3_BENCH_PERSONS says otherwise), with the result list's
// model filled and sorted in an English collation and the list shown: what
// the user waits for behind the busy pointer after "Begin Search". Budget:
// one second at a million persons.

#include "BenchDatabase.h"

#include "core/db/Database.h"
#include "core/document/Document.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/RecordTitles.h"
#include "core/lookup/Search.h"
#include "core/records/DeleteRecords.h"
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

// Every player listed while steps are taken elsewhere: a confirm of one
// person and the deletion of the first one, each undone. What the list's
// following of those four steps costs beside the steps themselves (rows
// moved, renamed, removed); budget: 50 ms at a million persons.
void BM_ListFollowsSteps(benchmark::State &state)
{
    LoadedDatabase &data = loaded();
    if (!data.ok) {
        state.SkipWithError(qPrintable(data.error));
        return;
    }
    kx3::Lookups lookups;
    lookups.build(data.db);
    kx3::Document doc(data.db, lookups);
    kx3::SearchResultModel model;
    model.setRows(kx3::searchPlayers(data.db, EveryPlayer, false));
    std::vector<kx3::DocumentChange> changes;
    QObject::connect(&doc, &kx3::Document::changed,
                     [&](const kx3::DocumentChange &change) { changes.push_back(change); });
    const int rows = model.rowCount();
    int at = 0;
    for (auto _ : state) {
        state.PauseTiming();
        changes.clear();
        kx3::PersonRecord p = *kx3::person(data.db, at++ % Persons);
        p.setJob(p.job() ^ 1);
        doc.commitStep(QStringLiteral("Confirm"));
        doc.undo();
        kx3::deletePerson(data.db, 0);
        doc.commitStep(QStringLiteral("Delete"));
        doc.undo();
        state.ResumeTiming();
        for (const kx3::DocumentChange &change : changes)
            model.follow(change, kx3::RecordKind::Person, kx3::RecordSize::Person,
                         [&](int i) { return kx3::personTitle(data.db, i); }, {});
    }
    // The first person's row went with him; a record put back is not listed
    // again until the next search.
    if (changes.size() != 4 || model.rowCount() < rows - 1 || data.db.history().canUndo()) {
        state.SkipWithError("the list did not follow the steps");
        return;
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_ListFollowsSteps)->Unit(benchmark::kMillisecond)->Iterations(5);

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
