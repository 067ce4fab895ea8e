#include "ChangeLists.h"

#include "ChangesDialog.h"
#include "core/changes/ModPatch.h"
#include "core/db/Database.h"
#include "core/db/PristineCopy.h"
#include "core/document/Document.h"
#include "core/lookup/Lookups.h"
#include "gui/widgets/ProgressRunner.h"
#include "gui/widgets/Prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kx3 {

namespace {

const QString SaveQuestion = QStringLiteral("Are you sure?");

QString listed(const QStringList &lines)
{
    return boxList(lines, 12);
}

QString counted(qsizetype count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

ChangeLists::ChangeLists(Database &db, Lookups &lookups, Prompter &prompter, Document &doc,
                         QWidget *window)
    : QObject(window), mDb(db), mLookups(lookups), mPrompter(prompter), mDoc(doc), mWindow(window)
{
}

// Both databases are only read: a worker compares them while the window
// paints on.
std::optional<DatabaseDiff> ChangeLists::diffFrom(const QString &folder, QString *error) const
{
    std::optional<DatabaseDiff> diff;
    ProgressRunner(mWindow,
                   QStringLiteral("Comparing with %1").arg(QDir::toNativeSeparators(folder)))
        .runInWorker([&](const Progress &) {
            Database before;
            if (loadDataFolder(before, folder, error))
                diff = diffDatabases(FormReader(before), FormReader(mDb));
        });
    return diff;
}

void ChangeLists::showChanges()
{
    QString error;
    std::optional<DatabaseDiff> unsaved = diffFrom(mDb.installDir(), &error);
    if (!unsaved) {
        mPrompter.information(QStringLiteral("The saved files cannot be read to compare."), error);
        return;
    }
    openDialog(std::move(*unsaved));
}

// The dialog is modal to the window, so nothing changes while it lists the
// changes, but it does not wait: the window's events go on as usual.
void ChangeLists::openDialog(DatabaseDiff unsaved)
{
    auto *dialog = new ChangesDialog(mPrompter, mWindow);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->addChanges(QStringLiteral("Not Saved"), std::move(unsaved));
    const QString original = QDir(mDb.installDir()).filePath(pristineFolderName());
    if (QFileInfo(original).isDir()) {
        QString error;
        std::optional<DatabaseDiff> diff = diffFrom(original, &error);
        if (diff)
            dialog->addChanges(QStringLiteral("Since The Original Files"), std::move(*diff));
        else
            mPrompter.information(QStringLiteral("The original files cannot be read."), error);
    }
    connect(dialog, &ChangesDialog::recordOpened, this, &ChangeLists::recordOpened);
    dialog->open();
}

// Files that cannot be read to compare can still be written over: the
// question is then asked plainly.
bool ChangeLists::confirmSave()
{
    std::optional<DatabaseDiff> unsaved = diffFrom(mDb.installDir(), nullptr);
    if (!unsaved || unsaved->isEmpty())
        return mPrompter.question(SaveQuestion);
    switch (mPrompter.questionWithExtra(SaveQuestion, changeSummary(*unsaved),
                                        QStringLiteral("Show Changes"))) {
    case Prompter::Choice::Yes: return true;
    case Prompter::Choice::No: return false;
    case Prompter::Choice::Extra: openDialog(std::move(*unsaved)); return false;
    }
    return false;
}

bool ChangeLists::applyPatchFile()
{
    if (mDb.isReadOnly())
        return false;
    const QString path = mPrompter.chooseFile(false, QStringLiteral("Apply Patch"), PatchFilter,
                                              QStringLiteral("json"));
    if (path.isEmpty())
        return false;
    const QString name = QFileInfo(path).fileName();
    QString error;
    const std::optional<QByteArray> text = readUserFile(path, &error);
    if (!text) {
        mPrompter.error(error);
        return false;
    }
    const std::optional<Patch> patch = readPatch(*text, &error);
    if (!patch) {
        mPrompter.error(QStringLiteral("%1 is not a patch: %2").arg(name, error));
        return false;
    }

    // The check only reads: a worker does it while the window paints on.
    PatchOutcome check;
    ProgressRunner(mWindow, QStringLiteral("Checking %1").arg(name))
        .runInWorker([&](const Progress &progress) {
            check = applyPatch(mDb, mLookups, *patch, true, progress);
        });
    if (!check.ok()) {
        QStringList why = check.conflicts;
        if (!check.error.isEmpty())
            why << check.error;
        mPrompter.information(
            QStringLiteral("%1 does not fit this database; nothing was changed.").arg(name),
            listed(why));
        return false;
    }
    if (check.changes.isEmpty()) {
        mPrompter.information(
            QStringLiteral("%1 changes nothing: it is applied already.").arg(name),
            listed(check.skipped));
        return false;
    }
    QString detail = listed(check.changes);
    if (!check.skipped.isEmpty())
        detail += QStringLiteral("\n\nAlready so:\n") + listed(check.skipped);
    const QString question = QStringLiteral("Apply %1 of %2?")
                                 .arg(counted(check.changes.size(), "change", "changes"), name);
    if (mPrompter.questionWithExtra(question, detail, QString()) != Prompter::Choice::Yes
        || !storeAnyway(mPrompter, check.advice))
        return false;

    // It reports only while it looks for the records, before it writes any:
    // the window never paints the data half changed.
    PatchOutcome outcome;
    ProgressRunner(mWindow, QStringLiteral("Applying %1").arg(name))
        .runHere([&](const Progress &progress) {
            outcome = applyPatch(mDb, mLookups, *patch, false, progress);
            if (outcome.ok())
                mLookups.build(mDb);
        });
    if (!outcome.ok()) {
        mPrompter.error(
            QStringLiteral("%1 was not applied: %2")
                .arg(name, outcome.error.isEmpty() ? listed(outcome.conflicts) : outcome.error));
        return false;
    }
    // No place: undo takes the whole patch back and returns to the search
    // menu, as after any step that may have moved or removed records.
    return mDoc.commitStep(QStringLiteral("Apply Patch \u2014 %1").arg(name));
}

} // namespace kx3
