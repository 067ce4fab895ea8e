#pragma once

#include "Navigator.h"
#include "core/db/Database.h"
#include "core/db/InstallationLookup.h"
#include "core/document/Document.h"
#include "core/lookup/Lookups.h"
#include "gui/screen/EditorState.h"
#include "gui/screen/RecordScreen.h"
#include "gui/widgets/Prompter.h"

#include <QString>
#include <QWidget>

#include <memory>

class QStackedWidget;

namespace kx3 {

class ChangeLists;
class DefaultButtonGroup;
class EditorFrame;
class EditorScreens;
class HistoryController;
class PersonScreen;
class PlayerScreen;
class SaveController;
class SearchMenu1;
class SearchMenuModes;
class SearchMenu2;
class SplashScreen;
class StaffScreen;
class StatusBar;
class TablePanel;
class TransferPanel;

/// The editor's one window. It owns the data and builds the panels and the
/// parts that move between them (the navigator, the undo and save
/// controllers); each panel and screen does its own work.
class TMainForm : public QWidget
{
    Q_OBJECT

public:
    /// Uses real message boxes, the system's record of installations and
    /// the folder the program was started in.
    explicit TMainForm(QWidget *parent = nullptr);
    TMainForm(std::unique_ptr<InstallationSource> source, const QString &currentDir,
              std::unique_ptr<Prompter> prompter, QWidget *parent = nullptr);
    ~TMainForm() override;

    /// The window of the program: on `installDir` alone, with "Begin Editing"
    /// (folders given on the command line are not looked up), or as the
    /// default constructor makes it when `installDir` is empty.
    static std::unique_ptr<TMainForm> create(const QString &installDir);

    /// From now on the window keeps its size, place and maximised state for
    /// the next start, and takes them from the last one now.
    void rememberGeometry();

    /// Answers every message box of the window and its screens from now on.
    void setPrompter(std::unique_ptr<Prompter> prompter);

    Database &database() { return mDatabase; }
    const Database &database() const { return mDatabase; }
    /// Every change to the data goes through it.
    Document &document() { return mDocument; }
    /// The choice lists, pick lists and club name list of the loaded database.
    Lookups &lookups() { return mLookups; }
    const Lookups &lookups() const { return mLookups; }
    /// The folder the database was (last) loaded from.
    QString dataDirectory() const { return mDataDir; }

    QWidget *currentPanel() const { return mNavigator->currentPanel(); }
    SplashScreen *splashScreen() const { return mSplash; }
    SearchMenu1 *searchMenu1() const { return mSearch1; }
    SearchMenu2 *searchMenu2() const { return mSearch2; }
    EditorFrame *editorFrame() const { return mEditor; }
    /// The misc-list dialog and club picking on the main search menu.
    SearchMenuModes *searchModes() const { return mModes; }
    TransferPanel *transferPanel() const { return mTransfer; }
    TablePanel *tablePanel() const { return mTable; }
    StatusBar *statusBar() const { return mStatusBar; }
    Navigator &navigator() { return *mNavigator; }
    HistoryController &historyController() { return *mHistory; }
    StaffScreen *staffScreen() const;
    PlayerScreen *playerScreen() const;

    EditorState &editorState() { return mState; }
    const EditorState &editorState() const { return mState; }

    void showEditor() { mNavigator->showEditor(); }
    void showMainSearchMenu() { mNavigator->showMainSearchMenu(); }

    /// Installs the editor of its record kind; the editor screen takes it.
    void addScreen(RecordScreen *screen);
    /// Makes the record at `offset` the current one of its kind and shows it
    /// on its editor. A pending "Create" is dropped.
    void openRecord(EditorScreen screen, qint64 offset) { mNavigator->openRecord(screen, offset); }
    /// Before the record screen is left: when its boxes hold edits not yet
    /// confirmed, asks whether to apply them. False when the user stays.
    bool leaveRecord() { return mNavigator->leaveRecord(); }
    /// "Undo" and "Redo": the last step taken back or done again, and its
    /// record shown.
    void undoClick();
    void redoClick();

    /// The window's first and smallest size of its panels, the one every
    /// panel is drawn for; the status bar is below them.
    static constexpr int ClientWidth = 609;
    static constexpr int ClientHeight = 474;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormShow();
    void FindInstallation();
    void bnBeginKX3Click();
    void bnBeginKX9900Click();
    void bnBeginClick();
    void StartEditing();
    /// The title, the status bar and the buttons that change data, for the
    /// installation open (read-only or not).
    void showAccessMode();
    void Exit1Click();
    void startTransfer(PersonScreen *screen);
    void bnApplyPatchClick();
    void saveGeometrySetting();

    void buildPanels();
    void connectPanels();
    void buildKeys();

    Database mDatabase;
    Lookups mLookups;
    Document mDocument{mDatabase, mLookups};
    std::unique_ptr<InstallationSource> mSource;
    PrompterHandle mPrompter;
    QString mCurrentDir;
    InstallationResult mInstallation;
    QString mDataDir;
    /// The edition begun from the splash screen; empty for a folder given.
    QString mEdition;
    bool mFormShown = false;
    bool mRemembersGeometry = false;
    EditorState mState;
    ScreenContext mContext{mDatabase, mLookups, mState, mPrompter, mDocument};

    QStackedWidget *mPanels = nullptr;
    StatusBar *mStatusBar = nullptr;
    SplashScreen *mSplash = nullptr;
    SearchMenu1 *mSearch1 = nullptr;
    SearchMenu2 *mSearch2 = nullptr;
    EditorFrame *mEditor = nullptr;
    SearchMenuModes *mModes = nullptr;
    DefaultButtonGroup *mSearchButtons = nullptr;
    EditorScreens *mScreens = nullptr;
    TransferPanel *mTransfer = nullptr;
    ChangeLists *mChanges = nullptr;
    TablePanel *mTable = nullptr;
    Navigator *mNavigator = nullptr;
    HistoryController *mHistory = nullptr;
    SaveController *mSaver = nullptr;
};

} // namespace kx3
