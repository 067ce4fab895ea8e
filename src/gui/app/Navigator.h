#pragma once

#include "core/db/RecordRef.h"
#include "gui/screen/RecordKinds.h"

#include <QObject>

#include <optional>
#include <vector>

class QStackedWidget;
class QWidget;

namespace kx3 {

class Document;
class EditorFrame;
class EditorScreens;
struct DocumentChange;
struct EditorState;
class Prompter;
class SearchGroup;
class SearchMenu1;
class SearchMenu2;
class SearchMenuModes;
class SplashScreen;
class StatusBar;
class TablePanel;

/// Which panel and which record are in front, and every way there: the
/// search menus, the records opened (back and forward), the neighbours of a
/// record in the result list it was opened from, and the way out of a screen
/// whose record a step removed.
class Navigator : public QObject
{
    Q_OBJECT

public:
    /// The search menu "Search" returns to: the one shown last.
    enum class SearchMenuId { Main = 1, Miscellaneous = 2 };

    struct Panels
    {
        QStackedWidget *stack = nullptr;
        SplashScreen *splash = nullptr;
        SearchMenu1 *search1 = nullptr;
        SearchMenu2 *search2 = nullptr;
        EditorFrame *editor = nullptr;
        TablePanel *table = nullptr;
    };

    Navigator(const Panels &panels, EditorScreens &screens, SearchMenuModes &modes, Document &doc,
              EditorState &state, Prompter &prompter, StatusBar &bar, QObject *parent = nullptr);

    QWidget *currentPanel() const;
    void showPanel(QWidget *panel);
    /// Brings the editor screen to the front, leaving its record as it was.
    void showEditor();
    /// Brings the main search menu to the front, in whatever state it is,
    /// with the focus in its first search box shown.
    void showMainSearchMenu();
    /// "Search P1" / "Search P2": that menu, remembered as the one to return to.
    void showSearchMenu(SearchMenuId menu);
    SearchMenuId searchMarker() const { return mSearchMarker; }
    /// Back to the search menu shown last, in its normal state.
    void returnToSearch();

    /// Makes the record at `offset` current on its editor and shows it.
    void openRecord(EditorScreen kind, qint64 offset);
    /// Asks to leave the record shown first; then opens the record.
    void requestRecord(EditorScreen kind, qint64 offset);
    /// The same for record `index` of `kind`, on the screen that edits it (a
    /// person who plays on the player screen); what has no screen is ignored.
    void requestRef(RecordKind kind, int index);
    /// A result list's record was chosen: picked for a mode of the menu, or opened.
    void recordChosen(EditorScreen kind, qint64 offset);
    /// Where an undo or a redo acted: that record on its editor, or the
    /// search menu when there is none (the table stays in front).
    void showStepPlace(RecordRef place);

    /// Before the record screen is left: when its boxes hold edits not yet
    /// confirmed, asks whether to apply them. False when the user stays.
    bool leaveRecord();

    /// The record opened before (or after) the one in front.
    void back();
    void forward();
    /// The record `delta` rows away in the result list the record in front
    /// was opened from.
    void neighbour(int delta);

    /// After the record shown was deleted: the search menu, and `message`.
    void finishDeletion(const QString &message);

private:
    struct Place
    {
        EditorScreen screen;
        RecordRef ref;
    };
    void documentChanged(const DocumentChange &change);
    void currentRecordGone(const QString &name);
    void goToPlace(int at);
    /// The record now on the editor is the newest place to go back to.
    void rememberShown();
    std::vector<SearchGroup *> groups() const;

    Panels mPanels;
    EditorScreens &mScreens;
    SearchMenuModes &mModes;
    Document &mDoc;
    EditorState &mState;
    Prompter &mPrompter;
    StatusBar &mBar;
    SearchMenuId mSearchMarker = SearchMenuId::Main;
    std::vector<Place> mPlaces;
    int mAt = -1;
    SearchGroup *mOpenedFrom = nullptr;
};

} // namespace kx3
