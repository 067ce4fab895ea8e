// Opening a club whose 71 position slots are all filled on the club screen,
// and confirming it, on a generated 100,000-person database: what the user
// waits for after a double-click in the club list and after "Confirm Club
// Data Changes". Budget: 5 ms each. The lists come from the slots, so the
// size of the person table should not show.

#include "BenchDatabase.h"

#include "core/clubs/ClubLists.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/Lookups.h"
#include "gui/clubs/ClubScreen.h"
#include "gui/widgets/Prompter.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

using kx3::bench::LoadedDatabase;
using kx3::bench::loaded;

class SilentPrompter : public kx3::Prompter
{
public:
    void information(const QString &, const QString &) override {}
    void error(const QString &) override {}
    bool question(const QString &) override { return false; }
    Answer questionWithCancel(const QString &) override { return Answer::Cancel; }
};

struct ClubFixture
{
    kx3::Lookups lookups;
    kx3::EditorState state;
    SilentPrompter prompter;
    kx3::Document doc;
    kx3::ScreenContext context;
    kx3::ClubScreen screen;

    explicit ClubFixture(kx3::Database &db)
        : doc(db, lookups), context{db, lookups, state, prompter, doc}, screen(context)
    {
        lookups.build(db);
        // Fill every slot of club 0 with a person from the far end of the table.
        kx3::ClubRecord club = *kx3::club(db, 0);
        for (int s = 0; s < kx3::ClubSlots::Count; ++s)
            club.setPositionSlot(s, kx3::personCount(db) - 1 - s);
        state.offset(kx3::EditorScreen::Club) = 0;
    }
};

void BM_OpenFullClub(benchmark::State &state)
{
    LoadedDatabase &data = loaded();
    if (!data.ok) {
        state.SkipWithError(qPrintable(data.error));
        return;
    }
    ClubFixture fixture(data.db);
    for (auto _ : state)
        benchmark::DoNotOptimize(fixture.screen.showRecord());
    state.counters["squad"] = double(kx3::squadRows(data.db, 0).size());
    state.counters["staff"] = double(kx3::staffRows(data.db, 0).size());
}
BENCHMARK(BM_OpenFullClub)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_ConfirmFullClub(benchmark::State &state)
{
    LoadedDatabase &data = loaded();
    if (!data.ok) {
        state.SkipWithError(qPrintable(data.error));
        return;
    }
    ClubFixture fixture(data.db);
    fixture.screen.showRecord();
    for (auto _ : state) {
        if (!fixture.screen.confirm()) {
            state.SkipWithError("the confirm was refused");
            return;
        }
    }
}
BENCHMARK(BM_ConfirmFullClub)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
