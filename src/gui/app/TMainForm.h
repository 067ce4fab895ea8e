#pragma once

#include "core/db/Database.h"
#include "core/db/InstallationLookup.h"
#include "core/lookup/Lookups.h"
#include "gui/screen/EditSteps.h"
#include "gui/screen/EditorState.h"
#include "gui/screen/RecordScreen.h"
#include "gui/widgets/Prompter.h"

#include <QString>
#include <QWidget>

#include <array>
#include <memory>

class QAction;
class QStackedWidget;

namespace kx3 {

class ChangeLists;
class DefaultButtonGroup;
class EditorFrame;
class EditorScreens;
class PersonScreen;
class PlayerScreen;
class SearchMenu1;
class SearchMenuModes;
class SearchMenu2;
class SplashScreen;
class StaffScreen;
class TablePanel;
class TransferPanel;

/// The editor's one window. It owns the database and the screens and moves
/// between them; each screen does its own work.
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
    /// The choice lists, pick lists and club name list of the loaded database.
    Lookups &lookups() { return mLookups; }
    const Lookups &lookups() const { return mLookups; }
    /// The folder the database was (last) loaded from.
    QString dataDirectory() const { return mDataDir; }

    QWidget *currentPanel() const;
    SplashScreen *splashScreen() const { return mSplash; }
    SearchMenu1 *searchMenu1() const { return mSearch1; }
    SearchMenu2 *searchMenu2() const { return mSearch2; }
    EditorFrame *editorFrame() const { return mEditor; }
    /// The misc-list dialog and club picking on the main search menu.
    SearchMenuModes *searchModes() const { return mModes; }
    TransferPanel *transferPanel() const { return mTransfer; }
    TablePanel *tablePanel() const { return mTable; }
    StaffScreen *staffScreen() const;
    PlayerScreen *playerScreen() const;
    /// The search menu "Search" returns to: the one shown last.
    enum class SearchMenuId { Main = 1, Miscellaneous = 2 };
    SearchMenuId searchMarker() const { return mSearchMarker; }

    EditorState &editorState() { return mState; }
    const EditorState &editorState() const { return mState; }

    /// Brings the editor screen to the front, leaving its record as it was.
    void showEditor();
    /// Brings the main search menu to the front, in whatever state it is, with
    /// the focus in its first search box shown.
    void showMainSearchMenu();

    /// Installs the editor of its record kind; the editor screen takes it.
    void addScreen(RecordScreen *screen);
    /// Makes the record at `offset` the current one of its kind and shows it
    /// on its editor. A pending "Create" is dropped.
    void openRecord(EditorScreen screen, qint64 offset);

    /// Before the record screen is left: when its boxes hold edits not yet
    /// confirmed, asks whether to apply them. False when the user stays (he
    /// cancelled, or the confirm was refused).
    bool leaveRecord();
    /// "Undo" and "Redo": the last step taken back or done again, and its
    /// record shown.
    void undoClick();
    void redoClick();

    /// The window's first and smallest size, the one every panel is drawn for.
    static constexpr int ClientWidth = 609;
    static constexpr int ClientHeight = 474;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void FindInstallation();
    void bnBeginKX3Click();
    void bnBeginKX9900Click();
    void bnBeginClick();
    void StartEditing();
    /// The title and the buttons that change data, for a session opened
    /// read-only or not.
    void showAccessMode();
    void Exit1Click();
    void bnSearchP1Click();
    void bnSearchP2Click();
    void bnSearchClick();
    /// Back to the search menu shown last, in its normal state.
    void returnToSearch();
    void recordChosen(EditorScreen kind, qint64 offset);
    void bnCreateNewClick();
    void bnDeleteClick();
    void finishDeletion(const QString &message);
    void startTransfer(PersonScreen *screen);
    void bnSaveClick();
    void bnApplyPatchClick();
    void connectTable();
    /// The editor behind the panels shows its record again, as it now reads.
    void reshowEditor();
    void showNewName(StepPlace after);
    void Exit3Click();
    void saveGeometrySetting();

    void buildScreens();
    void connectSearchResults();
    void showPanel(QWidget *panel);
    void leaveSearchMenu(bool returnsToEditor);
    /// Saves with the busy pointer; reports a failure and returns false.
    bool SaveDataFiles();
    void moveInHistory(bool undo);
    void updateHistoryButtons();
    void buildHistoryKeys();

    Database mDatabase;
    Lookups mLookups;
    std::unique_ptr<InstallationSource> mSource;
    PrompterHandle mPrompter;
    QString mCurrentDir;
    InstallationResult mInstallation;
    QString mDataDir;
    SearchMenuId mSearchMarker = SearchMenuId::Main;
    bool mFormShown = false;
    bool mRemembersGeometry = false;
    EditorState mState;
    EditSteps mSteps{mDatabase};
    ScreenContext mContext{mDatabase, mLookups, mState, mPrompter, &mSteps};
    /// The results of each search menu need searching again.
    std::array<bool, 2> mStaleResults{};
    QAction *mUndoAction = nullptr;
    QAction *mRedoAction = nullptr;

    QStackedWidget *mPanels = nullptr;
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
};

} // namespace kx3
