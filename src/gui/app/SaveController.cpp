#include "SaveController.h"

#include "ChangeLists.h"
#include "EditorFrame.h"
#include "Navigator.h"
#include "core/db/Database.h"
#include "core/document/Document.h"
#include "gui/widgets/ProgressRunner.h"
#include "gui/widgets/Prompter.h"
#include "gui/widgets/StatusBar.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace kx3 {

SaveController::SaveController(QWidget *window, Document &doc, ChangeLists &changes,
                               Navigator &navigator, Prompter &prompter, EditorFrame &editor,
                               StatusBar &bar)
    : QObject(window), mWindow(window), mDoc(doc), mChanges(changes), mNavigator(navigator),
      mPrompter(prompter), mEditor(editor), mBar(bar)
{
    connect(&editor, &EditorFrame::saveRequested, this, &SaveController::save);
    connect(&bar, &StatusBar::saveRequested, this, &SaveController::save);
    connect(&bar, &StatusBar::changesRequested, &changes, &ChangeLists::showChanges);
    // Ctrl+S on every panel: the same question as the button.
    auto *key = new QAction(window);
    key->setShortcut(QKeySequence::Save);
    key->setShortcutContext(Qt::WindowShortcut);
    window->addAction(key);
    connect(key, &QAction::triggered, this, &SaveController::save);
}

void SaveController::save()
{
    const Database &db = mDoc.db();
    if (!db.isLoaded() || db.isReadOnly())
        return;
    if (mChanges.confirmSave())
        saveData();
}

bool SaveController::saveData()
{
    Database &db = mDoc.db();
    // Another program (another editor, the game itself) wrote the files since
    // they were read: the user decides whether his changes go over them.
    const QString changed = db.changedOnDisk();
    if (!changed.isEmpty()
        && !mPrompter.question(QStringLiteral("The files on disk were changed by another program "
                                              "since they were loaded (%1). Overwrite them with "
                                              "your changes?")
                                   .arg(QFileInfo(changed).fileName())))
        return false;
    Document::SaveResult result = Document::SaveResult::Failed;
    // The save reads the images and, at its end, marks the history saved;
    // the editor screens paint from their boxes, the buttons from their own
    // state: a worker checks and saves while the window paints on.
    const QString folder = QFileInfo(db.filePath(DataFile::Index)).absolutePath();
    const qsizetype files = db.savedFiles().size();
    ProgressRunner(mWindow, QStringLiteral("Saving to %1").arg(QDir::toNativeSeparators(folder)))
        .runInWorker([&](const Progress &progress) { result = mDoc.save(progress); });
    mDoc.saveFinished();
    switch (result) {
    case Document::SaveResult::Saved: {
        const QString notice = QStringLiteral("Saved %1 files").arg(files);
        mEditor.showNotice(notice);
        mBar.showNotice(notice);
        return true;
    }
    case Document::SaveResult::Refused:
        mPrompter.problems(
            QStringLiteral("Nothing was saved: the files would hold errors they did not have "
                           "when loaded. Undo the steps that made them, or correct the records "
                           "named."),
            mDoc.refusedErrors());
        return false;
    case Document::SaveResult::Failed: break;
    }
    mPrompter.information(db.errorString(), db.errorDetail());
    return false;
}

bool SaveController::mayClose()
{
    if (!mNavigator.leaveRecord())
        return false;
    if (!mDoc.db().isModified())
        return true;
    switch (
        mPrompter.questionWithCancel(QStringLiteral("Data has been modified. Save Changes?"))) {
    case Prompter::Answer::Yes: return saveData();
    case Prompter::Answer::No: return true;
    case Prompter::Answer::Cancel: break;
    }
    return false;
}

} // namespace kx3
