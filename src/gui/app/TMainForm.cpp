#include "TMainForm.h"

#include "ChangeLists.h"
#include "EditorFrame.h"
#include "EditorScreens.h"
#include "HistoryController.h"
#include "SaveController.h"
#include "SearchMenu1.h"
#include "SearchMenu2.h"
#include "SearchMenuModes.h"
#include "SplashScreen.h"
#include "TablePanel.h"
#include "gui/clubs/ClubScreen.h"
#include "gui/nations/NationScreen.h"
#include "gui/people/PlayerScreen.h"
#include "gui/people/StaffScreen.h"
#include "gui/people/TransferPanel.h"
#include "gui/widgets/DefaultButtonGroup.h"
#include "gui/widgets/StatusBar.h"
#include "gui/world/CityScreen.h"
#include "gui/world/OfficialScreen.h"
#include "gui/world/StadiumScreen.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
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
    // Every panel is laid out for this size, in device-independent pixels;
    // the status bar lies below, and a larger window gives the extra room to
    // the lists.
    setMinimumSize(ClientWidth, ClientHeight + StatusBar::Height);
    resize(minimumSize());
    QFont base;
    base.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    base.setPixelSize(11);
    setFont(base);

    buildPanels();
    connectPanels();
    buildKeys();
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
    delete mHistory;
    delete mPanels;
}

void TMainForm::setPrompter(std::unique_ptr<Prompter> prompter)
{
    mPrompter.setTarget(std::move(prompter));
}

void TMainForm::buildPanels()
{
    mPanels = new QStackedWidget(this);
    mStatusBar = new StatusBar(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mPanels);
    layout->addWidget(mStatusBar);

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
    mScreens = new EditorScreens(mDocument, mState, mEditor, this);

    mSearch1->setDatabase(&mDatabase);
    mSearch2->setDatabase(&mDatabase);
    mSearch1->setDocument(mDocument);
    mSearch2->setDocument(mDocument);
    mModes = new SearchMenuModes(mDatabase, mLookups, mState, mSearch1, this);
    mSearch1->setPrompter(&mPrompter);
    mSearch2->setPrompter(&mPrompter);
    mModes->setPrompter(&mPrompter);
    mModes->setDocument(&mDocument);
    mTransfer = new TransferPanel(mContext);
    auto *transferLayout = new QVBoxLayout(mSearch1->transferPanel());
    transferLayout->setContentsMargins(0, 0, 0, 0);
    transferLayout->addWidget(mTransfer);
    mSearchButtons = new DefaultButtonGroup(this);
    mSearch1->addSearchBoxesTo(*mSearchButtons);
    mSearch2->addSearchBoxesTo(*mSearchButtons);

    mNavigator = new Navigator({mPanels, mSplash, mSearch1, mSearch2, mEditor, mTable}, *mScreens,
                               *mModes, mDocument, mState, mPrompter, *mStatusBar, this);
    mChanges = new ChangeLists(mDatabase, mLookups, mPrompter, mDocument, this);
    mHistory = new HistoryController(this, mDocument, *mNavigator, *mEditor, *mStatusBar);
    mSaver = new SaveController(this, mDocument, *mChanges, *mNavigator, mPrompter, *mEditor,
                                *mStatusBar);

    // The record editors: one line each.
    addScreen(new PlayerScreen(mContext));
    addScreen(new StaffScreen(mContext));
    addScreen(new ClubScreen(mContext));
    addScreen(new NationScreen(mContext));
    addScreen(new CityScreen(mContext));
    addScreen(new StadiumScreen(mContext));
    addScreen(new OfficialScreen(mContext));
}

void TMainForm::connectPanels()
{
    using Menu = Navigator::SearchMenuId;
    Navigator *nav = mNavigator;
    connect(mSplash, &SplashScreen::beginKX3Requested, this, &TMainForm::bnBeginKX3Click);
    connect(mSplash, &SplashScreen::beginKX9900Requested, this, &TMainForm::bnBeginKX9900Click);
    connect(mSplash, &SplashScreen::beginRequested, this, &TMainForm::bnBeginClick);
    connect(mSplash, &SplashScreen::exitRequested, this, &TMainForm::Exit1Click);

    connect(mSearch1, &SearchMenu1::otherMenuRequested, nav,
            [nav] { nav->showSearchMenu(Menu::Miscellaneous); });
    connect(mSearch2, &SearchMenu2::otherMenuRequested, nav,
            [nav] { nav->showSearchMenu(Menu::Main); });
    // "Cancel" returns to the editor, "Exit" (before any record) ends.
    connect(mSearch1, &SearchMenu1::exitRequested, this,
            [this] { mSearch1->returnsToEditor() ? mNavigator->showEditor() : void(close()); });
    connect(mSearch2, &SearchMenu2::exitRequested, this,
            [this] { mSearch2->returnsToEditor() ? mNavigator->showEditor() : void(close()); });
    connect(mSearch1, &SearchMenu1::recordChosen, nav, &Navigator::recordChosen);
    connect(mSearch2, &SearchMenu2::recordChosen, nav, &Navigator::recordChosen);
    connect(mSearch1, &SearchMenu1::setToNoneRequested, mModes, &SearchMenuModes::MiscNoneClick);
    connect(mSearch1, &SearchMenu1::transferTargetChosen, mTransfer, &TransferPanel::chooseTarget);
    connect(mSearch1, &SearchMenu1::applyPatchRequested, this, &TMainForm::bnApplyPatchClick);
    connect(mSearch2, &SearchMenu2::applyPatchRequested, this, &TMainForm::bnApplyPatchClick);
    connect(mSearch1, &SearchMenu1::tableRequested, nav, [nav, this] {
        nav->showSearchMenu(Menu::Main);
        nav->showPanel(mTable);
    });
    connect(mSearch2, &SearchMenu2::tableRequested, nav, [nav, this] {
        nav->showSearchMenu(Menu::Miscellaneous);
        nav->showPanel(mTable);
    });
    connect(mTable, &TablePanel::cancelRequested, nav,
            [nav] { nav->showSearchMenu(nav->searchMarker()); });
    connect(mTable, &TablePanel::recordOpened, nav, &Navigator::requestRef);

    connect(mModes, &SearchMenuModes::searchMenuRequested, nav, &Navigator::showMainSearchMenu);
    connect(mModes, &SearchMenuModes::editorRequested, nav, &Navigator::showEditor);
    connect(mModes, &SearchMenuModes::relationshipListChanged, this, [this](MiscListSource src) {
        for (RecordScreen *screen : mScreens->all())
            screen->relationshipsChanged(src);
    });
    connect(mModes, &SearchMenuModes::clubPicked, this,
            [this](ClubPickField field, const QString &text) {
                if (RecordScreen *screen = mScreens->current())
                    screen->setPickedClub(field, text);
            });
    connect(mTransfer, &TransferPanel::finished, nav, &Navigator::showEditor);
    connect(mTransfer, &TransferPanel::personScreenRefused, nav, &Navigator::showEditor);

    connect(mEditor, &EditorFrame::searchRequested, nav, [nav] {
        if (nav->leaveRecord())
            nav->returnToSearch();
    });
    connect(mEditor, &EditorFrame::createRequested, this, [this] {
        if (mNavigator->leaveRecord())
            mScreens->create();
    });
    connect(mEditor, &EditorFrame::deleteRequested, this, [this] {
        if (mNavigator->leaveRecord())
            mScreens->remove();
    });
    connect(mEditor, &EditorFrame::changesRequested, mChanges, &ChangeLists::showChanges);
    connect(mEditor, &EditorFrame::exitRequested, this, &QWidget::close);
    connect(mChanges, &ChangeLists::recordOpened, nav, &Navigator::requestRef);
    connect(&mDocument, &Document::historyChanged, this, [this] {
        mStatusBar->setSaveEnabled(mDatabase.isLoaded() && !mDatabase.isReadOnly());
    });
}

// The keys of the whole window, whichever panel is in front (Undo, Redo and
// Save are their controllers'): the confirm of the screen in front, and the
// ways between records.
void TMainForm::buildKeys()
{
    auto key = [this](std::initializer_list<QKeySequence> keys, auto handler) {
        auto *action = new QAction(this);
        action->setShortcuts(QList<QKeySequence>(keys));
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, handler);
    };
    key({QKeySequence(Qt::ControlModifier | Qt::Key_Return),
         QKeySequence(Qt::ControlModifier | Qt::Key_Enter)},
        [this] {
            RecordScreen *screen = mScreens->current();
            if (currentPanel() == mEditor && screen && !mDatabase.isReadOnly())
                screen->confirm();
        });
    key({QKeySequence(Qt::AltModifier | Qt::Key_Left)}, [this] { mNavigator->back(); });
    key({QKeySequence(Qt::AltModifier | Qt::Key_Right)}, [this] { mNavigator->forward(); });
    key({QKeySequence(Qt::ControlModifier | Qt::Key_PageUp)},
        [this] { mNavigator->neighbour(-1); });
    key({QKeySequence(Qt::ControlModifier | Qt::Key_PageDown)},
        [this] { mNavigator->neighbour(1); });
}

void TMainForm::addScreen(RecordScreen *screen)
{
    mScreens->add(screen);
    connect(screen, &RecordScreen::recordDeleted, mNavigator, &Navigator::finishDeletion);
    connect(screen, &RecordScreen::recordRequested, mNavigator, &Navigator::requestRecord);
    connect(screen, &RecordScreen::miscListDialogRequested, mModes,
            &SearchMenuModes::openMiscListDialog);
    connect(screen, &RecordScreen::clubPickingRequested, mModes,
            &SearchMenuModes::startClubPicking);
    connect(screen, &RecordScreen::transferRequested, this, [this, screen] {
        if (mDatabase.isReadOnly())
            return;
        mModes->end();
        mSearch1->showTransferMenu();
        mTransfer->start(screen);
        mNavigator->showMainSearchMenu();
    });
}

StaffScreen *TMainForm::staffScreen() const
{
    return static_cast<StaffScreen *>(mScreens->screen(EditorScreen::Staff));
}

PlayerScreen *TMainForm::playerScreen() const
{
    return static_cast<PlayerScreen *>(mScreens->screen(EditorScreen::Player));
}

void TMainForm::undoClick()
{
    mHistory->undo();
}

void TMainForm::redoClick()
{
    mHistory->redo();
}

// A patch may rename, add or delete records anywhere; the views follow it
// by themselves, and the panel in front stays.
void TMainForm::bnApplyPatchClick()
{
    if (mChanges->applyPatchFile())
        mStatusBar->showNotice(QStringLiteral("Patch applied"));
}

// Every way out of the program comes through here, so unsaved changes are
// offered for saving whichever button or window control ends it.
void TMainForm::closeEvent(QCloseEvent *event)
{
    saveGeometrySetting();
    if (mSaver->mayClose())
        event->accept();
    else
        event->ignore();
}

} // namespace kx3
