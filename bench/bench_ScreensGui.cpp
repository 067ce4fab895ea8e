// The editor screens in the window, on a generated 100,000-person database:
// opening a record of each kind (budget 5 ms), creating a city and a stadium
// (pick list insert and boxes refilled; 20 ms), a transfer with its person
// confirm (5 ms) and deleting person 0 with the finish steps (50 ms); undo
// and redo of a confirm (5 ms), a transfer (20 ms) and deleting person 0
// (300 ms), each with the record shown again. "Begin Editing", "Save To
// Disk" and a search listing every player count "stall_ms" too: the longest
// the window went without handling its events (budget 150 ms).

#include "BenchDatabase.h"

#include "core/db/InstallationLookup.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"
#include "gui/app/EditorFrame.h"
#include "gui/app/SearchGroup.h"
#include "gui/app/SearchMenu1.h"
#include "gui/app/TMainForm.h"
#include "gui/people/TransferPanel.h"
#include "gui/widgets/Prompter.h"
#include "gui/widgets/SearchResultModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

class YesPrompter : public kx3::Prompter
{
public:
    void information(const QString &, const QString &) override {}
    void error(const QString &) override {}
    bool question(const QString &) override { return true; }
    Answer questionWithCancel(const QString &) override { return Answer::No; }
};

class NoRegistry : public kx3::InstallationSource
{
public:
    std::optional<QString> location(kx3::Edition) const override { return std::nullopt; }
};

/// The window past "Begin Editing" on the benchmark installation.
kx3::TMainForm &form()
{
    static kx3::TMainForm *window = [] {
        auto *w = new kx3::TMainForm(std::make_unique<NoRegistry>(), kx3::bench::installation(),
                                     std::make_unique<YesPrompter>());
        w->show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        if (auto *begin = w->findChild<QPushButton *>(QStringLiteral("bnBegin")))
            begin->click();
        return w;
    }();
    return *window;
}

bool loaded(benchmark::State &state)
{
    if (form().database().isLoaded())
        return true;
    state.SkipWithError("the database did not load");
    return false;
}

void click(const char *name)
{
    if (auto *b = form().findChild<QPushButton *>(QLatin1String(name)))
        b->click();
}

struct Kind
{
    kx3::EditorScreen screen;
    qint64 recordSize;
    const char *panel;
};

constexpr Kind Kinds[] = {
    {kx3::EditorScreen::Player, kx3::RecordSize::Person, "pnPlayer"},
    {kx3::EditorScreen::Club, kx3::RecordSize::Club, "pnClub"},
    {kx3::EditorScreen::Nation, kx3::RecordSize::Nation, "pnNation"},
    {kx3::EditorScreen::City, kx3::RecordSize::City, "pnCity"},
    {kx3::EditorScreen::Stadium, kx3::RecordSize::Stadium, "pnStad"},
    {kx3::EditorScreen::Official, kx3::RecordSize::Official, "pnOff"},
};

void BM_OpenRecord(benchmark::State &state)
{
    if (!loaded(state))
        return;
    const Kind &kind = Kinds[state.range(0)];
    qint64 index = 0;
    for (auto _ : state) {
        form().openRecord(kind.screen, (index % 5) * kind.recordSize);
        ++index;
    }
    if (form().editorFrame()->currentEditorPanel()->objectName() != QLatin1String(kind.panel))
        state.SkipWithError("the record was not shown on its screen");
    state.SetLabel(kind.panel);
}
BENCHMARK(BM_OpenRecord)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->MinTime(0.5);

void createRecord(benchmark::State &state, kx3::EditorScreen screen, const char *confirm)
{
    if (!loaded(state))
        return;
    for (auto _ : state) {
        state.PauseTiming();
        form().openRecord(screen, 0);
        click("bnCreateNew");
        state.ResumeTiming();
        click(confirm);
    }
    if (form().editorState().newRecordMode)
        state.SkipWithError("the new record was not added");
}

void BM_CreateCity(benchmark::State &state)
{
    createRecord(state, kx3::EditorScreen::City, "ConfirmCity");
}
BENCHMARK(BM_CreateCity)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_CreateStadium(benchmark::State &state)
{
    createRecord(state, kx3::EditorScreen::Stadium, "ConfirmStadium");
}
BENCHMARK(BM_CreateStadium)->Unit(benchmark::kMillisecond)->Iterations(50);

// A player released and transferred back to his club, in turn: the
// generated clubs have no free slot, so his own is the one he can take.
void BM_Transfer(benchmark::State &state)
{
    if (!loaded(state))
        return;
    kx3::Database &db = form().database();
    int player = 1;
    while (kx3::person(db, player)->club() < 0
           || kx3::person(db, player)->job() != kx3::Job::Player)
        ++player;
    const int home = kx3::person(db, player)->club();
    form().openRecord(kx3::EditorScreen::Player, kx3::personOffset(player));
    bool away = false;
    for (auto _ : state) {
        state.PauseTiming();
        click("PTransfer");
        state.ResumeTiming();
        if (away) {
            form().transferPanel()->chooseTarget(qint64(home) * kx3::RecordSize::Club);
            form().transferPanel()->ConfirmTransferClick();
        } else {
            form().transferPanel()->FreeTransferClick();
        }
        away = !away;
    }
    if (kx3::person(db, player)->club() != (away ? -1 : home)
        || db.history().undoCount() != int(state.iterations()))
        state.SkipWithError("the player did not move");
}
BENCHMARK(BM_Transfer)->Unit(benchmark::kMillisecond)->Iterations(100);

/// Undo, then redo, of the window's last step: the data put back, the lists
/// rebuilt when the step's kind feeds them, the record shown again.
void undoRedo(benchmark::State &state)
{
    if (!form().database().history().canUndo()) {
        state.SkipWithError("no step to undo");
        return;
    }
    for (auto _ : state) {
        form().undoClick();
        form().redoClick();
    }
}

void BM_UndoRedoTransfer(benchmark::State &state)
{
    if (loaded(state))
        undoRedo(state);
}
BENCHMARK(BM_UndoRedoTransfer)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_UndoRedoConfirm(benchmark::State &state)
{
    if (!loaded(state))
        return;
    form().openRecord(kx3::EditorScreen::Player, 3 * qint64(kx3::RecordSize::Person));
    if (auto *name = form().findChild<QLineEdit *>(QStringLiteral("FName")))
        name->setText(name->text() + QStringLiteral("x"));
    click("ConfirmPlayer");
    undoRedo(state);
}
BENCHMARK(BM_UndoRedoConfirm)->Unit(benchmark::kMillisecond)->Iterations(50);

/// The longest `work` kept the window from handling its events, in ms.
double longestStall(const std::function<void()> &work)
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 worst = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        worst = std::max(worst, clock.elapsed() - last);
        last = clock.elapsed();
    });
    tick.start(5);
    clock.start();
    work();
    return double(std::max(worst, clock.elapsed() - last));
}

void BM_BeginEditing(benchmark::State &state)
{
    double stall = 0;
    for (auto _ : state) {
        state.PauseTiming();
        kx3::TMainForm window(std::make_unique<NoRegistry>(), kx3::bench::installation(),
                              std::make_unique<YesPrompter>());
        window.show();
        QCoreApplication::processEvents();
        auto *begin = window.findChild<QPushButton *>(QStringLiteral("bnBegin"));
        state.ResumeTiming();
        stall = std::max(stall, longestStall([begin] { begin->click(); }));
        if (!window.database().isLoaded())
            state.SkipWithError("the database did not load");
    }
    state.counters["stall_ms"] = stall;
}
BENCHMARK(BM_BeginEditing)->Unit(benchmark::kMillisecond)->Iterations(3);

// After a change, answered Yes: the comparison behind the question, then the
// save itself (the first one also keeps a copy of the original files).
void BM_SaveToDisk(benchmark::State &state)
{
    if (!loaded(state))
        return;
    kx3::DataImage &names = form().database().image(kx3::DataFile::FirstNames);
    double stall = 0;
    for (auto _ : state) {
        state.PauseTiming();
        form().showEditor();
        names.setU8(8, names.u8(8) ^ 1);
        state.ResumeTiming();
        stall = std::max(stall, longestStall([] { click("bnSave"); }));
    }
    if (form().database().isModified())
        state.SkipWithError("the data was not saved");
    state.counters["stall_ms"] = stall;
}
BENCHMARK(BM_SaveToDisk)->Unit(benchmark::kMillisecond)->Iterations(4);

// The search and its sort of every player, on the main search menu.
void BM_SearchEveryPlayer(benchmark::State &state)
{
    if (!loaded(state))
        return;
    form().showMainSearchMenu();
    form().findChild<QLineEdit *>(QStringLiteral("PSearch"))->setText(QStringLiteral(" "));
    double stall = 0;
    for (auto _ : state)
        stall = std::max(stall, longestStall([] { click("bnSearchPlayer"); }));
    if (form().searchMenu1()->players()->model()->rowCount() < kx3::bench::Persons / 2)
        state.SkipWithError("the list does not hold every player");
    state.counters["stall_ms"] = stall;
}
BENCHMARK(BM_SearchEveryPlayer)->Unit(benchmark::kMillisecond)->Iterations(5);

// Last: it changes the database under the others.
void BM_DeletePerson0(benchmark::State &state)
{
    if (!loaded(state))
        return;
    kx3::Database &db = form().database();
    const int before = kx3::personCount(db);
    for (auto _ : state) {
        state.PauseTiming();
        form().openRecord(kx3::EditorScreen::Player, 0);
        state.ResumeTiming();
        click("bnDelete");
    }
    if (kx3::personCount(db) != before - int(state.iterations()))
        state.SkipWithError("the person was not deleted");
}
BENCHMARK(BM_DeletePerson0)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_UndoRedoDeletePerson0(benchmark::State &state)
{
    if (loaded(state))
        undoRedo(state);
}
BENCHMARK(BM_UndoRedoDeletePerson0)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char **argv)
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
