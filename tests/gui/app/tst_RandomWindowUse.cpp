// Random use of the whole window from "Begin Editing" on: buttons of whatever
// panel is in front pressed (every one but Exit, so saving too), search and
// edit boxes typed into, list items chosen, result and squad rows opened, and
// every question answered at random. After each step the database must pass
// the integrity check, every change must be a step of the history, and an
// undo or redo (by its button, at random like the rest) must bring back the
// state recorded where it leads; at the end, undoing everything must give the
// data as loaded. The status bar's Undo and Redo and the search menus'
// "Cancel" are pressed too, so screens are left, undone under and come back;
// a screen in front without edits must show its record as stored, and a
// confirm of a record must write no other record of its kind. A crash or a
// sanitizer report fails the run too.
//
// A failure prints the steps that led to it; KX3_SEED=<seed> runs that seed
// alone.
#include "core/lookup/Lookups.h"
#include "core/records/IntegrityCheck.h"
#include "core/records/IntegrityCheckCounts.h"
#include "gui/app/EditorFrame.h"
#include "gui/app/EditorScreens.h"
#include "gui/app/SplashScreen.h"
#include "gui/app/TMainForm.h"
#include "gui/widgets/StatusBar.h"

#include "../support/MainFormFixture.h"
#include "../support/OffscreenTestMain.h"
#include "../support/RandomPrompter.h"
#include "TestDatabase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTreeView>
#include <QTreeWidget>

#include <string_view>

using namespace kx3;

namespace {

constexpr quint32 Seeds = 6;
constexpr int Steps = 600;

template <typename T>
QList<T *> usable(QWidget *root)
{
    QList<T *> out;
    for (T *w : root->findChildren<T *>())
        if (w->isVisible() && w->isEnabled())
            out.append(w);
    return out;
}

/// The data's state: every image, the counters and the setup lines.
std::size_t digest(const Database &db)
{
    std::size_t h = 0;
    const auto mix = [&h](const QByteArray &bytes) {
        h = (h * 1000003)
            ^ std::hash<std::string_view>()(
                std::string_view(bytes.constData(), std::size_t(bytes.size())));
    };
    for (DataFile file : AllDataFiles)
        mix(db.image(file).bytes());
    mix(db.clubs().bytes());
    mix(QByteArray(reinterpret_cast<const char *>(&db.counters()), sizeof(StaffCounters)));
    for (const QByteArray &line : db.setupLines())
        mix(line);
    return h;
}

/// The state at each position of the history, as far as the run saw it
/// (0: a position passed inside one action), and the step that led there.
class HistoryStates
{
public:
    explicit HistoryStates(const Database &db) : mDb(db), mStates{digest(db)}, mIds{0} {}

    /// After each action: what it did to the history must match the data.
    QString check(bool saved)
    {
        const EditHistory &h = mDb.history();
        const auto at = std::size_t(h.undoCount());
        const quint64 id = h.undoStepId();
        const std::size_t now = digest(mDb);
        QString fault;
        if (mDb.hasChangesOutsideSteps())
            fault = QStringLiteral("a change is not a step");
        if (at < mIds.size() && mIds[at] == id) {
            // Where the history was before, or a position it moved back to.
            if (mStates[at] != 0 && mStates[at] != now)
                fault = QStringLiteral("the data differ from the state at step %1").arg(at);
        } else {
            mStates.resize(at + 1);
            mIds.resize(at + 1);
            mStates[at] = now;
            mIds[at] = id;
        }
        // The saved state is known by the step that led there: one action
        // may take several steps (edits applied, then a deletion), and a
        // step undone and replaced never comes back.
        if (saved)
            mCleanId = id;
        if (mDb.isModified() != (id != mCleanId))
            fault = QStringLiteral("modified is %1 at step %2").arg(mDb.isModified()).arg(at);
        return fault;
    }
    std::size_t first() const { return mStates.front(); }
    bool savedOnce() const { return mCleanId != 0; }

private:
    const Database &mDb;
    std::vector<std::size_t> mStates;
    std::vector<quint64> mIds;
    quint64 mCleanId = 0;
};

/// What a screen's boxes and lists show.
QStringList shown(const QWidget *screen)
{
    QStringList values;
    for (const QLineEdit *e : screen->findChildren<QLineEdit *>())
        values << e->objectName() + u'=' + e->text();
    for (const QComboBox *c : screen->findChildren<QComboBox *>())
        values << c->objectName() + u'#' + QString::number(c->currentIndex());
    return values;
}

/// The records of the table `kind` shows, each as its bytes.
QList<QByteArray> records(const Database &db, EditorScreen kind)
{
    static constexpr DataFile Files[] = {DataFile::Staff,    DataFile::Staff, DataFile::Club,
                                         DataFile::Nation,   DataFile::City,  DataFile::Stadium,
                                         DataFile::Officials};
    const int size = recordKind(kind).recordSize;
    const QByteArray &bytes =
        kind == EditorScreen::Club ? db.clubs().bytes() : db.image(Files[int(kind)]).bytes();
    const qsizetype n = size == RecordSize::Person ? db.counters().persons : bytes.size() / size;
    QList<QByteArray> out;
    for (qsizetype i = 0; i < n; ++i)
        out << bytes.mid(i * size, size);
    return out;
}

} // namespace

class tst_RandomWindowUse : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void randomUse_data()
    {
        QTest::addColumn<quint32>("seed");
        bool fixed = false;
        const quint32 chosen = qEnvironmentVariable("KX3_SEED").toUInt(&fixed);
        for (quint32 seed = fixed ? chosen : 1; seed <= (fixed ? chosen : Seeds); ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }
    void randomUse()
    {
        QFETCH(quint32, seed);
        QRandomGenerator r(seed);
        BuilderOptions options;
        options.seed = seed;
        options.persons = 40 + int(seed % 120);
        test::TestInstallation install(options);
        QVERIFY(install.isValid());
        auto source = std::make_unique<test::FakeSource>();
        auto prompter = std::make_unique<test::RandomPrompter>(r);
        test::RandomPrompter *answers = prompter.get();
        TMainForm form(std::move(source), install.path(), std::move(prompter));
        form.splashScreen()->setRandomSource([](int) { return 7; });
        form.show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        auto *begin = form.findChild<QAbstractButton *>("bnBegin");
        QVERIFY(begin);
        begin->click();
        QVERIFY(form.database().isLoaded());
        HistoryStates states(form.database());
        CountState counts(form.database());
        int undoCount = 0;
        QStringList log;
        static const QStringList texts = {"a", " ", "Smith", "United", "London", "e",
                                          "x", "1", "-5",    "300",    ""};
        for (int step = 0; step < Steps && form.isVisible(); ++step) {
            QWidget *panel = form.currentPanel();
            bool saving = false;
            const int what = r.bounded(10);
            RecordScreen *screen =
                form.currentPanel() == form.editorFrame()
                    ? qobject_cast<RecordScreen *>(form.editorFrame()->currentEditorPanel())
                    : nullptr;
            const bool creating = form.editorState().newRecordMode;
            const std::optional<int> record = screen ? screen->currentRecord() : std::nullopt;
            QList<QByteArray> before;
            bool confirming = false;
            if (what < 5) {
                // The status bar's history buttons are there on every panel;
                // its History and Changes lists wait for the user.
                auto buttons =
                    usable<QAbstractButton>(panel) + usable<QAbstractButton>(form.statusBar());
                buttons.removeIf([](QAbstractButton *b) {
                    return (b->objectName().startsWith("Exit") && b->text() != "Cancel")
                           || b->text() == "Exit" || b->objectName() == "bnStatusHistory"
                           || b->objectName() == "bnStatusChanges";
                });
                if (buttons.isEmpty())
                    continue;
                QAbstractButton *b = buttons.at(r.bounded(int(buttons.size())));
                log.append(
                    QStringLiteral("%1: click %2 '%3'").arg(step).arg(b->objectName(), b->text()));
                saving = b->objectName() == QLatin1String("bnSave")
                         || b->objectName() == QLatin1String("bnStatusSave");
                confirming = b->objectName().startsWith(QLatin1String("Confirm"));
                if (confirming && screen)
                    before = records(form.database(), screen->kind());
                b->click();
            } else if (what < 7) {
                const auto edits = usable<QLineEdit>(panel);
                if (edits.isEmpty())
                    continue;
                QLineEdit *e = edits.at(r.bounded(int(edits.size())));
                if (e->isReadOnly())
                    continue;
                const QString t = texts.at(r.bounded(int(texts.size())));
                log.append(QStringLiteral("%1: type %2='%3'").arg(step).arg(e->objectName(), t));
                e->setText(t);
                Q_EMIT e->textEdited(t);
                Q_EMIT e->editingFinished();
            } else if (what < 8) {
                const auto combos = usable<QComboBox>(panel);
                if (combos.isEmpty())
                    continue;
                QComboBox *c = combos.at(r.bounded(int(combos.size())));
                if (c->count() == 0)
                    continue;
                const int i = r.bounded(c->count());
                log.append(QString::number(step) + ": choose " + c->objectName() + "#"
                           + QString::number(i));
                c->setCurrentIndex(i);
            } else {
                const auto views = usable<QTreeView>(panel);
                if (views.isEmpty())
                    continue;
                QTreeView *v = views.at(r.bounded(int(views.size())));
                QAbstractItemModel *m = v->model();
                if (!m || m->rowCount() == 0)
                    continue;
                const QModelIndex i = m->index(r.bounded(m->rowCount()), 0);
                log.append(QString::number(step) + ": row " + v->objectName() + "#"
                           + QString::number(i.row()));
                v->setCurrentIndex(i);
                if (r.bounded(2)) {
                    if (auto *tw = qobject_cast<QTreeWidget *>(v))
                        Q_EMIT tw->itemDoubleClicked(tw->currentItem(), 0);
                    else
                        Q_EMIT v->doubleClicked(i);
                }
            }
            QCoreApplication::processEvents();
            if (log.size() > 25)
                log.removeFirst();
            QStringList problems =
                checkIntegrity(form.database(), form.lookups(), IntegrityOptions{true});
            if (const QString fault = states.check(saving && !form.database().isModified());
                !fault.isEmpty())
                problems.append(fault);
            // Which records a click confirmed is not known here; an undo goes
            // back to counts checked before.
            CountState now(form.database());
            CountStep anyRecord;
            anyRecord.anyRecord = true;
            if (form.database().history().undoCount() >= undoCount)
                problems += countChanges(counts, now, anyRecord);
            counts = std::move(now);
            // A confirm of a record writes that record of its kind, no other.
            if (confirming && screen && !creating && record
                && form.database().history().undoCount() > undoCount) {
                const QList<QByteArray> after = records(form.database(), screen->kind());
                for (qsizetype i = 0; i < after.size() && after.size() == before.size(); ++i) {
                    if (i != record.value_or(-1) && after[i] != before[i])
                        problems << QStringLiteral("a confirm changed record %1").arg(i);
                }
            }
            undoCount = form.database().history().undoCount();
            // A screen in front with nothing typed shows its record as stored:
            // shown again from the data, it reads the same.
            if (auto *front =
                    qobject_cast<RecordScreen *>(form.editorFrame()->currentEditorPanel());
                front && form.currentPanel() == form.editorFrame()
                && !form.editorState().newRecordMode && !front->hasUnconfirmedEdits()) {
                const QStringList before = shown(front);
                if (!front->showRecord() || shown(front) != before)
                    problems << QStringLiteral("the screen in front does not show its record as "
                                               "stored");
            }
            QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("%1\n%2\nreplay: KX3_SEED=%3")
                                                        .arg(log.join('\n'), problems.join('\n'))
                                                        .arg(seed)));
        }

        // Back to the start, edits on the screen given up.
        answers->answerNo();
        while (form.database().history().canUndo())
            form.undoClick();
        QCOMPARE(digest(form.database()), states.first());
        QCOMPARE(form.database().isModified(), states.savedOnce());
        QVERIFY(checkIntegrity(form.database(), form.lookups(), IntegrityOptions{true}).isEmpty());
    }
};

KX3_GUI_TEST_MAIN(tst_RandomWindowUse)
#include "tst_RandomWindowUse.moc"
