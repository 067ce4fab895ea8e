// The window's first phase: finding the game, the splash screen's buttons and
// loading the chosen installation. The rest of the window is in TMainForm.cpp.

#include "TMainForm.h"

#include "EditorFrame.h"
#include "SearchMenu1.h"
#include "SplashScreen.h"
#include "gui/widgets/BoxHelpers.h"
#include "gui/widgets/ProgressRunner.h"
#include "gui/widgets/StatusBar.h"

#include <QCoreApplication>
#include <QDir>

namespace kx3 {

namespace {

// Shown as a blank line between the two sentences.
const QString NotInstalledMessage =
    QStringLiteral("Kickora 3 is not installed in this directory.\n\n"
                   "Please make sure that you run this editor from KX3 main directory.");

const QString WindowTitle = QStringLiteral("KX3 Pre-Data Editor");

const QString ReadOnlyQuestion =
    QStringLiteral("\n\nOpen it read-only? You can search, view and export, but not change "
                   "or save anything.");

} // namespace

void TMainForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (mFormShown)
        return;
    mFormShown = true;
    // Queued so that the window is on screen before a message box may
    // appear or the window may close again.
    QMetaObject::invokeMethod(this, &TMainForm::FormShow, Qt::QueuedConnection);
}

void TMainForm::FormShow()
{
    mNavigator->showPanel(mSplash);
    mSplash->focusExit();
    FindInstallation();
    if (!mInstallation.anyFound())
        return;
    mSplash->startAnimation();
    widenDropDowns(this);
}

void TMainForm::FindInstallation()
{
    mInstallation = findInstallation(*mSource, mCurrentDir);
    const auto &found = mInstallation.found;
    const int kx3 = static_cast<int>(Edition::Kickora3);
    const int kx9900 = static_cast<int>(Edition::Kickora9900);
    mSplash->showStartButtons(found[kx3], found[kx9900], mInstallation.currentFolder);
    if (!mInstallation.anyFound()) {
        mPrompter.information(NotInstalledMessage);
        close();
    }
}

void TMainForm::bnBeginKX3Click()
{
    mDataDir = mInstallation.folders[static_cast<int>(Edition::Kickora3)];
    mEdition = QStringLiteral("Kickora 3");
    StartEditing();
}

void TMainForm::bnBeginKX9900Click()
{
    mDataDir = mInstallation.folders[static_cast<int>(Edition::Kickora9900)];
    mEdition = QStringLiteral("Kickora 99/00");
    StartEditing();
}

void TMainForm::bnBeginClick()
{
    mDataDir = mCurrentDir;
    mEdition.clear();
    StartEditing();
}

void TMainForm::StartEditing()
{
    mSplash->stopAnimation();
    // Repaint the splash without its overlays before the long load; user
    // input waits, so a second click cannot start a second load meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    bool loaded = false;
    // Only the splash panel shows, and it reads nothing of the database: a
    // worker loads it meanwhile.
    auto loadData = [&](bool readOnly) {
        ProgressRunner(this, QStringLiteral("Loading %1").arg(QDir::toNativeSeparators(mDataDir)))
            .runInWorker([&](const Progress &progress) {
                loaded = readOnly ? mDatabase.loadReadOnly(mDataDir, progress)
                                  : mDatabase.load(mDataDir, progress);
                if (loaded) {
                    mLookups.build(mDatabase);
                    mDocument.checkLoadedFiles();
                }
            });
    };
    loadData(false);
    // Another editor holds the installation (or it cannot be locked): it can
    // still be looked at, searched and exported.
    bool declined = false;
    if (!loaded && mDatabase.offersReadOnly()) {
        if (mPrompter.questionWithExtra(mDatabase.errorString() + ReadOnlyQuestion,
                                        mDatabase.errorDetail(), QString())
            == Prompter::Choice::Yes)
            loadData(true);
        else
            declined = true;
    }
    mDocument.loaded();
    showAccessMode();
    if (!loaded) {
        // Declined: the question said it all.
        if (!declined)
            mPrompter.information(mDatabase.errorString(), mDatabase.errorDetail());
        return;
    }
    // A save cut short last time was finished or undone: say which.
    if (const QString note = mDatabase.recoveryNote(); !note.isEmpty())
        mPrompter.information(note);
    // Errors the files came with are theirs: said once, and no save is
    // refused for them.
    if (const QStringList errors = mDocument.takeLoadErrors(); !errors.isEmpty())
        mStatusBar->showNotice(
            QStringLiteral("The files hold %1 integrity errors already; kx3edit --check lists "
                           "them")
                .arg(errors.size()));
    mNavigator->showSearchMenu(Navigator::SearchMenuId::Main);
}

// A read-only session says so in the title and offers no button that would
// change the data; the screens ask the same switch for their own.
void TMainForm::showAccessMode()
{
    const bool readOnly = mDatabase.isReadOnly();
    const QString folder = mDatabase.isLoaded() ? QDir::toNativeSeparators(mDataDir) : QString();
    QStringList title;
    if (!folder.isEmpty()) {
        if (!mEdition.isEmpty())
            title << mEdition;
        title << folder;
    }
    title << WindowTitle;
    setWindowTitle(title.join(QStringLiteral(" \u2014 "))
                   + (readOnly ? QStringLiteral(" (read-only)") : QString()));
    mStatusBar->setFolder(folder, readOnly);
    mEditor->setSaveButton(!readOnly);
    mSearch1->showNormalState();
}

void TMainForm::Exit1Click()
{
    close();
}

} // namespace kx3
