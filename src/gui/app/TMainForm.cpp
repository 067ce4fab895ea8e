#include "TMainForm.h"

#include "ChangeLists.h"
#include "EditorFrame.h"
#include "EditorScreens.h"
#include "SearchGroup.h"
#include "SearchMenu1.h"
#include "SearchMenu2.h"
#include "SearchMenuModes.h"
#include "SplashScreen.h"
#include "TablePanel.h"
#include "core/db/Cp1252.h"
#include "gui/clubs/ClubScreen.h"
#include "gui/nations/NationScreen.h"
#include "gui/people/PlayerScreen.h"
#include "gui/people/StaffScreen.h"
#include "gui/people/TransferPanel.h"
#include "gui/widgets/BusyCursor.h"
#include "gui/widgets/DefaultButtonGroup.h"
#include "gui/widgets/ProgressRunner.h"
#include "gui/widgets/Prompter.h"
#include "gui/widgets/SearchResultModel.h"
#include "gui/world/CityScreen.h"
#include "gui/world/OfficialScreen.h"
#include "gui/world/StadiumScreen.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace kx3 {

TMainForm::TMainForm(QWidget *parent)
    : TMainForm(createSystemInstallationSource(), QDir::currentPath(),
                std::make_unique<QMessageBoxPrompter>(), parent)
{
}

TMainForm::TMainForm(std::unique_ptr<InstallationSource> source, const QString &currentDir,
                     std::unique_ptr<Prompter> prompter, QWidget *parent)
    : QWidget(parent), mSource(std::move(source)), mPrompter(std::move(prompter)),
      mCurrentDir(currentDir)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    // Every screen is laid out for this size, in device-independent pixels;
    // a larger window gives the extra room to the lists.
    setMinimumSize(ClientWidth, ClientHeight);
    resize(ClientWidth, ClientHeight);
    QFont base;
    base.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    base.setPixelSize(11);
    setFont(base);

    buildScreens();
    buildHistoryKeys();
    showAccessMode();

    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
}

std::unique_ptr<TMainForm> TMainForm::create(const QString &installDir)
{
    auto window =
        installDir.isEmpty()
            ? std::make_unique<TMainForm>()
            : std::make_unique<TMainForm>(std::make_unique<NoInstallationSource>(), installDir,
                                          std::make_unique<QMessageBoxPrompter>());
    window->rememberGeometry();
    return window;
}

namespace {

const QString GeometryKey = QStringLiteral("window/geometry");

} // namespace

// Qt moves a window restored off the screens there now (a monitor unplugged)
// back onto one, and ignores a size kept on a screen of a very different
// width: either way the window opens where it can be seen.
void TMainForm::rememberGeometry()
{
    mRemembersGeometry = true;
    const QByteArray saved = QSettings().value(GeometryKey).toByteArray();
    if (!saved.isEmpty())
        restoreGeometry(saved);
}

void TMainForm::saveGeometrySetting()
{
    if (mRemembersGeometry)
        QSettings().setValue(GeometryKey, saveGeometry());
}

// The screens refer to the database, the look-ups and the prompter, which are
// members: they go first, before the members they use are destroyed.
TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
    delete mPanels;
}

void TMainForm::setPrompter(std::unique_ptr<Prompter> prompter)
{
    mPrompter.setTarget(std::move(prompter));
}

void TMainForm::buildScreens()
{
    mPanels = new QStackedWidget(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mPanels);

    mSplash = new SplashScreen;
    mSearch1 = new SearchMenu1;
    mSearch2 = new SearchMenu2;
    mEditor = new EditorFrame;
    mTable = new TablePanel(mContext);
    for (QWidget *panel : {static_cast<QWidget *>(mSplash), static_cast<QWidget *>(mSearch1),
                           static_cast<QWidget *>(mSearch2), static_cast<QWidget *>(mEditor),
                           static_cast<QWidget *>(mTable)})
        mPanels->addWidget(panel);
    mPanels->setCurrentWidget(mSplash);
    mScreens = new EditorScreens(mDatabase, mState, mEditor, this);

    mSearch1->setDatabase(&mDatabase);
    mSearch2->setDatabase(&mDatabase);
    mModes = new SearchMenuModes(mDatabase, mLookups, mState, mSearch1, this);
    mSearch1->setPrompter(&mPrompter);
    mSearch2->setPrompter(&mPrompter);
    mModes->setPrompter(&mPrompter);
    mModes->setSteps(&mSteps);
    mTransfer = new TransferPanel(mContext);
    auto *transferLayout = new QVBoxLayout(mSearch1->transferPanel());
    transferLayout->setContentsMargins(0, 0, 0, 0);
    transferLayout->addWidget(mTransfer);
    connect(mSearch1, &SearchMenu1::transferTargetChosen, mTransfer, &TransferPanel::chooseTarget);
    connect(mTransfer, &TransferPanel::finished, this, &TMainForm::showEditor);
    connect(mTransfer, &TransferPanel::personScreenRefused, this, &TMainForm::showEditor);
    mSearchButtons = new DefaultButtonGroup(this);
    mSearch1->addSearchBoxesTo(*mSearchButtons);
    mSearch2->addSearchBoxesTo(*mSearchButtons);

    connect(mSplash, &SplashScreen::beginKX3Requested, this, &TMainForm::bnBeginKX3Click);
    connect(mSplash, &SplashScreen::beginKX9900Requested, this, &TMainForm::bnBeginKX9900Click);
    connect(mSplash, &SplashScreen::beginRequested, this, &TMainForm::bnBeginClick);
    connect(mSplash, &SplashScreen::exitRequested, this, &TMainForm::Exit1Click);
    connect(mSearch1, &SearchMenu1::otherMenuRequested, this, &TMainForm::bnSearchP2Click);
    connect(mSearch1, &SearchMenu1::exitRequested, this,
            [this] { leaveSearchMenu(mSearch1->returnsToEditor()); });
    connect(mSearch2, &SearchMenu2::otherMenuRequested, this, &TMainForm::bnSearchP1Click);
    connect(mSearch2, &SearchMenu2::exitRequested, this,
            [this] { leaveSearchMenu(mSearch2->returnsToEditor()); });
    connect(mEditor, &EditorFrame::searchRequested, this, &TMainForm::bnSearchClick);
    connect(mEditor, &EditorFrame::createRequested, this, &TMainForm::bnCreateNewClick);
    connect(mEditor, &EditorFrame::deleteRequested, this, &TMainForm::bnDeleteClick);
    connect(mEditor, &EditorFrame::undoRequested, this, &TMainForm::undoClick);
    connect(mEditor, &EditorFrame::redoRequested, this, &TMainForm::redoClick);
    connect(&mSteps, &EditSteps::changed, this, &TMainForm::updateHistoryButtons);
    connect(&mSteps, &EditSteps::committed, this, &TMainForm::showNewName);
    connect(mEditor, &EditorFrame::saveRequested, this, &TMainForm::bnSaveClick);
    mChanges = new ChangeLists(mDatabase, mLookups, mPrompter, mSteps, this);
    connect(mEditor, &EditorFrame::changesRequested, mChanges, &ChangeLists::showChanges);
    connect(mChanges, &ChangeLists::recordRequested, this, [this](EditorScreen kind, qint64 at) {
        if (leaveRecord())
            openRecord(kind, at);
    });
    connect(mSearch1, &SearchMenu1::applyPatchRequested, this, &TMainForm::bnApplyPatchClick);
    connect(mSearch2, &SearchMenu2::applyPatchRequested, this, &TMainForm::bnApplyPatchClick);
    connect(mEditor, &EditorFrame::exitRequested, this, &TMainForm::Exit3Click);
    connectSearchResults();
    connectTable();
    connect(mModes, &SearchMenuModes::relationshipListChanged, this, [this](MiscListSource src) {
        for (RecordScreen *screen : mScreens->all()) {
            if (auto *person = qobject_cast<PersonScreen *>(screen))
                person->relationshipsChanged(src);
            else if (auto *club = qobject_cast<ClubScreen *>(screen))
                club->relationshipsChanged(src);
        }
    });
    connect(mModes, &SearchMenuModes::clubPicked, this,
            [this](ClubPickField field, const QString &text) {
                if (auto *player = qobject_cast<PlayerScreen *>(mScreens->current()))
                    player->setPickedClub(field, text);
            });

    // The record editors: one line each.
    addScreen(new PlayerScreen(mContext));
    addScreen(new StaffScreen(mContext));
    addScreen(new ClubScreen(mContext));
    addScreen(new NationScreen(mContext));
    addScreen(new CityScreen(mContext));
    addScreen(new StadiumScreen(mContext));
    addScreen(new OfficialScreen(mContext));
}

void TMainForm::addScreen(RecordScreen *screen)
{
    mScreens->add(screen);
    connect(screen, &RecordScreen::searchResultsStale, mSearch1->players(), &SearchGroup::clear);
    connect(screen, &RecordScreen::recordDeleted, this, &TMainForm::finishDeletion);
    connect(screen, &RecordScreen::recordRequested, this,
            [this](EditorScreen kind, qint64 offset) {
                if (leaveRecord())
                    openRecord(kind, offset);
            });
    // What only some kinds offer: the misc-list dialog, club picking, transfers.
    if (auto *person = qobject_cast<PersonScreen *>(screen)) {
        connect(person, &PersonScreen::miscListDialogRequested, mModes,
                &SearchMenuModes::openMiscListDialog);
        connect(person, &PersonScreen::clubPickingRequested, mModes,
                &SearchMenuModes::startClubPicking);
        connect(person, &PersonScreen::transferRequested, this,
                [this, person] { startTransfer(person); });
    }
    if (auto *club = qobject_cast<ClubScreen *>(screen)) {
        connect(club, &ClubScreen::miscListDialogRequested, mModes,
                &SearchMenuModes::openMiscListDialog);
    }
}

// The transfer confirms the person screen when it ends, and going back from
// it returns to the screen as it was: its edits are not left behind.
void TMainForm::startTransfer(PersonScreen *screen)
{
    if (mDatabase.isReadOnly())
        return;
    mModes->end();
    mSearch1->showTransferMenu();
    mTransfer->start(screen);
    showMainSearchMenu();
}

// After a deletion the result lists may point at records that moved; the
// stadium list cannot, so it keeps its rows.
void TMainForm::finishDeletion(const QString &message)
{
    mSearch1->clearResults();
    for (SearchGroup *group : {mSearch2->officials(), mSearch2->nations(), mSearch2->cities()})
        group->clear();
    returnToSearch();
    mState.newRecordMode = false;
    mPrompter.information(message);
    // The editor behind the search menu shows club 0, the one record sure to
    // be there.
    mScreens->open(EditorScreen::Club, 0);
}

StaffScreen *TMainForm::staffScreen() const
{
    return static_cast<StaffScreen *>(mScreens->screen(EditorScreen::Staff));
}

PlayerScreen *TMainForm::playerScreen() const
{
    return static_cast<PlayerScreen *>(mScreens->screen(EditorScreen::Player));
}

void TMainForm::connectSearchResults()
{
    connect(mSearch1, &SearchMenu1::recordChosen, this, &TMainForm::recordChosen);
    connect(mSearch2, &SearchMenu2::recordChosen, this, &TMainForm::recordChosen);
    connect(mSearch1, &SearchMenu1::setToNoneRequested, mModes, &SearchMenuModes::MiscNoneClick);

    connect(mModes, &SearchMenuModes::searchMenuRequested, this, &TMainForm::showMainSearchMenu);
    connect(mModes, &SearchMenuModes::editorRequested, this, &TMainForm::showEditor);
}

QWidget *TMainForm::currentPanel() const
{
    return mPanels->currentWidget();
}

// Results listed before an undo or redo are searched again when their menu
// is next shown: a search over every person is not worth running for a menu
// the user may never return to.
void TMainForm::showPanel(QWidget *panel)
{
    if (panel == mSearch2)
        mSearch2->setDataToolsEnabled(!mSearch1->isTransferShown());
    if (panel == mSearch1 && mStaleResults[0]) {
        mStaleResults[0] = false;
        mSearch1->refreshResults();
    } else if (panel == mSearch2 && mStaleResults[1]) {
        mStaleResults[1] = false;
        mSearch2->refreshResults();
    }
    mPanels->setCurrentWidget(panel);
}

void TMainForm::showEditor()
{
    showPanel(mEditor);
}

void TMainForm::showMainSearchMenu()
{
    showPanel(mSearch1);
    mSearch1->focusSearch();
}

void TMainForm::leaveSearchMenu(bool returnsToEditor)
{
    if (returnsToEditor)
        showEditor();
    else
        close();
}

void TMainForm::bnSearchP1Click()
{
    mSearch1->focusSearch();
    showPanel(mSearch1);
    mSearchMarker = SearchMenuId::Main;
}

void TMainForm::bnSearchP2Click()
{
    mSearch2->focusSearch();
    showPanel(mSearch2);
    mSearchMarker = SearchMenuId::Miscellaneous;
}

void TMainForm::openRecord(EditorScreen kind, qint64 offset)
{
    mScreens->open(kind, offset);
    showEditor();
}

// The person and club lists also serve the misc-list dialog and club picking;
// only a plain search opens the record. (The transfer screen takes its clubs
// from the menu directly.)
void TMainForm::recordChosen(EditorScreen kind, qint64 offset)
{
    if (!mModes->pick(kind, offset) && leaveRecord())
        openRecord(kind, offset);
}

void TMainForm::bnSearchClick()
{
    if (leaveRecord())
        returnToSearch();
}

void TMainForm::returnToSearch()
{
    mScreens->abandonNewRecord();
    mModes->end();
    mSearch1->showNormalState();
    mSearch1->setReturnsToEditor(true);
    mSearch2->setReturnsToEditor(mSearch1->returnsToEditor());
    if (mSearchMarker == SearchMenuId::Main) {
        showPanel(mSearch1);
        mSearch1->focusSearch();
    } else {
        showPanel(mSearch2);
        mSearch2->focusSearch();
    }
}

void TMainForm::bnCreateNewClick()
{
    if (leaveRecord())
        mScreens->create();
}

void TMainForm::bnDeleteClick()
{
    if (leaveRecord())
        mScreens->remove();
}

bool TMainForm::leaveRecord()
{
    RecordScreen *screen = mScreens->current();
    if (!screen || !screen->hasUnconfirmedEdits())
        return true;
    // Nothing can be applied: what was typed is only dropped.
    if (mDatabase.isReadOnly()) {
        mScreens->dropEdits();
        return true;
    }
    // The question is about the screen: it is in front while asked, and
    // stays there with the refusal shown when the confirm is refused.
    showEditor();
    switch (mPrompter.questionWithCancel(
        QStringLiteral("Apply the changes to %1?").arg(screen->title()))) {
    case Prompter::Answer::Yes: return screen->confirm();
    case Prompter::Answer::No: mScreens->dropEdits(); return true;
    case Prompter::Answer::Cancel: break;
    }
    return false;
}

void TMainForm::buildHistoryKeys()
{
    mUndoAction = new QAction(this);
    mUndoAction->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_Z));
    mRedoAction = new QAction(this);
    mRedoAction->setShortcuts({QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z),
                               QKeySequence(Qt::ControlModifier | Qt::Key_Y)});
    for (QAction *action : {mUndoAction, mRedoAction}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    connect(mUndoAction, &QAction::triggered, this, &TMainForm::undoClick);
    connect(mRedoAction, &QAction::triggered, this, &TMainForm::redoClick);
    // Ctrl+S is "Save To Disk" and Ctrl+Return the confirm of the screen in
    // front: each clicks its button, so it asks and refuses as the button does.
    auto *save = new QAction(this);
    save->setShortcut(QKeySequence::Save);
    auto *confirm = new QAction(this);
    confirm->setShortcuts({QKeySequence(Qt::ControlModifier | Qt::Key_Return),
                           QKeySequence(Qt::ControlModifier | Qt::Key_Enter)});
    for (QAction *action : {save, confirm}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    connect(save, &QAction::triggered, this, [this] {
        auto *button = mEditor->findChild<QPushButton *>(QStringLiteral("bnSave"));
        if (currentPanel() == mEditor && button && button->isEnabled())
            button->click();
    });
    connect(confirm, &QAction::triggered, this, [this] {
        QWidget *front = currentPanel() == mEditor ? mEditor->currentEditorPanel() : nullptr;
        if (!front)
            return;
        for (QPushButton *button : front->findChildren<QPushButton *>()) {
            if (button->objectName().startsWith(QLatin1String("Confirm")) && button->isVisible()
                && button->isEnabled()) {
                button->click();
                return;
            }
        }
    });
    qApp->installEventFilter(this);
    updateHistoryButtons();
}

namespace {

enum class HistoryKey { None, Undo, Redo };

HistoryKey historyKey(const QKeyEvent *key)
{
    const QKeyCombination pressed = key->keyCombination();
    if (pressed == QKeyCombination(Qt::ControlModifier, Qt::Key_Z))
        return HistoryKey::Undo;
    if (pressed == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)
        || pressed == QKeyCombination(Qt::ControlModifier, Qt::Key_Y))
        return HistoryKey::Redo;
    return HistoryKey::None;
}

/// Whether the text box with the focus has its own undo (or redo) to offer.
bool offersOwn(QWidget *box, HistoryKey key)
{
    QLineEdit *line = qobject_cast<QLineEdit *>(box);
    if (auto *list = qobject_cast<QComboBox *>(box))
        line = list->lineEdit();
    else if (qobject_cast<QAbstractSpinBox *>(box))
        line = box->findChild<QLineEdit *>();
    if (line) {
        return !line->isReadOnly()
               && (key == HistoryKey::Undo ? line->isUndoAvailable() : line->isRedoAvailable());
    }
    if (auto *text = qobject_cast<QPlainTextEdit *>(box)) {
        return !text->isReadOnly()
               && (key == HistoryKey::Undo ? text->document()->isUndoAvailable()
                                           : text->document()->isRedoAvailable());
    }
    return false;
}

QString stepTip(const char *verb, const StepInfo *step, int count, const char *done)
{
    if (!step)
        return QString();
    return QStringLiteral("%1: %2\n%3 %4 can be %5")
        .arg(QLatin1String(verb), step->label)
        .arg(count)
        .arg(count == 1 ? QStringLiteral("step") : QStringLiteral("steps"), QLatin1String(done));
}

} // namespace

// A text box claims the history keys for its own undo even when it has none
// to offer; then they are the editor's.
bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && watched == QApplication::focusWidget()
        && isAncestorOf(static_cast<QWidget *>(watched))) {
        const HistoryKey key = historyKey(static_cast<QKeyEvent *>(event));
        if (key != HistoryKey::None && !offersOwn(static_cast<QWidget *>(watched), key))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::updateHistoryButtons()
{
    const EditHistory &history = mDatabase.history();
    const QString undo = stepTip("Undo", history.undoStep(), history.undoCount(), "undone");
    const QString redo = stepTip("Redo", history.redoStep(), history.redoCount(), "redone");
    const bool canUndo = history.canUndo() && !mDatabase.isReadOnly();
    const bool canRedo = history.canRedo() && !mDatabase.isReadOnly();
    mEditor->setUndoButton(canUndo, undo);
    mEditor->setRedoButton(canRedo, redo);
    mUndoAction->setEnabled(canUndo);
    mRedoAction->setEnabled(canRedo);
}

void TMainForm::undoClick()
{
    moveInHistory(true);
}

void TMainForm::redoClick()
{
    moveInHistory(false);
}

void TMainForm::moveInHistory(bool undo)
{
    const EditHistory &history = mDatabase.history();
    if (!(undo ? history.canUndo() : history.canRedo()) || mDatabase.isReadOnly())
        return;
    // Edits applied now are a step of their own: the user sees them taken,
    // and the next undo takes them back.
    const int steps = history.undoCount();
    if (!leaveRecord() || history.undoCount() != steps)
        return;
    std::optional<StepInfo> step;
    {
        BusyCursor busy;
        step = undo ? mDatabase.undo() : mDatabase.redo();
        // A step on a person or an official leaves the lists as they were.
        const int kind = step ? step->before.exists() ? step->before.kind : step->after.kind : -1;
        if (step && (kind < 0 || recordKind(EditorScreen(kind)).listed))
            mLookups.build(mDatabase);
    }
    mSteps.historyChanged();
    if (!step)
        return;
    mStaleResults = {true, true};
    const StepPlace place = undo ? step->before : step->after;
    // The table stays in front, read again by itself; the editor behind it
    // shows the step's record.
    if (currentPanel() == mTable) {
        if (place.exists())
            mScreens->open(EditorScreen(place.kind), place.offset);
        else
            reshowEditor();
        return;
    }
    if (place.exists()) {
        mModes->end();
        mSearch1->showNormalState();
        openRecord(EditorScreen(place.kind), place.offset);
    } else {
        returnToSearch();
    }
}

bool TMainForm::SaveDataFiles()
{
    // Another program (another editor, the game itself) wrote the files since
    // they were read: the user decides whether his changes go over them.
    const QString changed = mDatabase.changedOnDisk();
    if (!changed.isEmpty()
        && !mPrompter.question(QStringLiteral("The files on disk were changed by another program "
                                              "since they were loaded (%1). Overwrite them with "
                                              "your changes?")
                                   .arg(QFileInfo(changed).fileName())))
        return false;
    bool saved = false;
    // The save reads the images and, at its end, marks the history saved;
    // the editor screens paint from their boxes, the buttons from their own
    // state: a worker saves while the window paints on.
    const QString folder = QFileInfo(mDatabase.filePath(DataFile::Index)).absolutePath();
    const qsizetype files = mDatabase.savedFiles().size();
    ProgressRunner(this, QStringLiteral("Saving to %1").arg(QDir::toNativeSeparators(folder)))
        .runInWorker([&](const Progress &progress) { saved = mDatabase.save(progress); });
    if (!saved)
        mPrompter.information(mDatabase.errorString(), mDatabase.errorDetail());
    else
        mEditor->showNotice(QStringLiteral("Saved %1 files").arg(files));
    mSteps.historyChanged();
    return saved;
}

void TMainForm::bnSaveClick()
{
    // A save that succeeds leaves nothing modified; the database says so.
    if (!mDatabase.isReadOnly() && mChanges->confirmSave())
        SaveDataFiles();
}

// The table returns to the menu it was opened from and opens records as the
// change list does. Its steps may change any record of its kind, and the
// lists: results listed are searched again.
void TMainForm::connectTable()
{
    connect(mSearch1, &SearchMenu1::tableRequested, this, [this] {
        mSearchMarker = SearchMenuId::Main;
        showPanel(mTable);
    });
    connect(mSearch2, &SearchMenu2::tableRequested, this, [this] {
        mSearchMarker = SearchMenuId::Miscellaneous;
        showPanel(mTable);
    });
    connect(mTable, &TablePanel::cancelRequested, this, [this] {
        if (mSearchMarker == SearchMenuId::Main)
            bnSearchP1Click();
        else
            bnSearchP2Click();
    });
    connect(mTable, &TablePanel::recordOpened, mChanges, &ChangeLists::openRecord);
    connect(mTable, &TablePanel::stepTaken, this, [this] {
        mStaleResults = {true, true};
        reshowEditor();
    });
}

// A confirm may rename its record: the results listing it show the new name
// at once, not after the next search.
void TMainForm::showNewName(StepPlace after)
{
    RecordScreen *screen = mScreens->current();
    if (!after.exists() || !screen || int(screen->kind()) != after.kind)
        return;
    std::vector<SearchGroup *> groups;
    switch (EditorScreen(after.kind)) {
    case EditorScreen::Player:
    case EditorScreen::Staff: groups = {mSearch1->players(), mSearch1->staff()}; break;
    case EditorScreen::Club: groups = {mSearch1->clubs()}; break;
    case EditorScreen::Nation: groups = {mSearch2->nations()}; break;
    case EditorScreen::City: groups = {mSearch2->cities()}; break;
    case EditorScreen::Stadium: groups = {mSearch2->stadiums()}; break;
    case EditorScreen::Official: groups = {mSearch2->officials()}; break;
    }
    const QByteArray name = toCp1252(screen->title());
    for (SearchGroup *group : groups)
        group->model()->setName(after.offset, name);
}

void TMainForm::reshowEditor()
{
    if (RecordScreen *screen = mScreens->current())
        mScreens->open(screen->kind(), mState.offset(screen->kind()));
}

// A patch may rename, add or delete records anywhere: the results listed are
// searched again and the editor behind the menu shows the one record sure to
// be there, as after a deletion.
void TMainForm::bnApplyPatchClick()
{
    if (!mChanges->applyPatchFile())
        return;
    mStaleResults = {true, true};
    mScreens->open(EditorScreen::Club, 0);
    showPanel(currentPanel());
}

void TMainForm::Exit3Click()
{
    close();
}

// Every way out of the program comes through here, so unsaved changes are
// offered for saving whichever button or window control ends it.
void TMainForm::closeEvent(QCloseEvent *event)
{
    saveGeometrySetting();
    if (!leaveRecord()) {
        event->ignore();
        return;
    }
    if (!mDatabase.isModified()) {
        event->accept();
        return;
    }
    switch (
        mPrompter.questionWithCancel(QStringLiteral("Data has been modified. Save Changes?"))) {
    case Prompter::Answer::Yes:
        if (SaveDataFiles())
            event->accept();
        else
            event->ignore();
        break;
    case Prompter::Answer::No: event->accept(); break;
    case Prompter::Answer::Cancel: event->ignore(); break;
    }
}

} // namespace kx3
