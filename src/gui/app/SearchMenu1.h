#pragma once

#include "gui/screen/RecordKinds.h"

#include <QWidget>

#include <memory>

namespace Ui {
class SearchMenu1;
}

namespace kx3 {

class Document;

class Database;
class DefaultButtonGroup;
class PanelAnchors;
class Prompter;
class SearchGroup;

/// The main search menu: players, staff, clubs and national teams.
///
/// The same panel is borrowed to pick a record for a field of the editor
/// (see SearchMenuModes); its captions and visible groups show which use it
/// is in, and showNormalState() returns it to plain searching.
class SearchMenu1 : public QWidget
{
    Q_OBJECT

public:
    explicit SearchMenu1(QWidget *parent = nullptr);
    ~SearchMenu1() override;

    void setDatabase(const Database *database) { mDatabase = database; }
    void setPrompter(Prompter *prompter);
    /// Its result lists follow every step of `doc`.
    void setDocument(Document &doc);
    /// Registers the search boxes and their "Begin Search" buttons.
    void addSearchBoxesTo(DefaultButtonGroup &group);

    /// Focuses the first search box shown.
    void focusSearch();
    /// Whether the leave button returns to the editor ("Cancel") or ends the
    /// program ("Exit"); its caption follows.
    bool returnsToEditor() const { return mReturnsToEditor; }
    void setReturnsToEditor(bool returns);
    QString title() const;

    /// Plain searching: the three search groups, the "Go To" captions, the
    /// other menu reachable, no transfer or "Set To None" panel. The leave
    /// button keeps its caption.
    void showNormalState();
    /// Choosing a record for a relationship slot: the club group for a club
    /// slot, the player and staff groups for a person slot.
    void showMiscListDialog(bool clubSlot);
    /// Choosing a club for a club name box of a person screen.
    void showClubPicking();
    /// Choosing the target club of a transfer: the transfer panel beside the
    /// club search group. Clubs chosen then go to transferTargetChosen().
    void showTransferMenu();
    bool isTransferShown() const;
    /// The panel of the transfer screen, empty until a transfer screen fills it.
    QWidget *transferPanel() const;

    SearchGroup *players() const { return mPlayers; }
    SearchGroup *staff() const { return mStaff; }
    SearchGroup *clubs() const { return mClubs; }

Q_SIGNALS:
    /// A result of `kind` was opened (a club only when no transfer is shown).
    void recordChosen(kx3::EditorScreen kind, qint64 offset);
    void transferTargetChosen(qint64 offset);
    void setToNoneRequested();
    void otherMenuRequested();
    void applyPatchRequested();
    void tableRequested();
    void exitRequested();

private:
    /// The groups and lists take the room of a window larger than the form.
    void layOutForAnySize();
    enum class Pn6Side { Left, Right };
    void placePn6(Pn6Side side);
    void showModeFrame(const QString &title);

    std::unique_ptr<Ui::SearchMenu1> mUi;
    PanelAnchors *mAnchors = nullptr;
    const Database *mDatabase = nullptr;
    SearchGroup *mPlayers = nullptr;
    SearchGroup *mStaff = nullptr;
    SearchGroup *mClubs = nullptr;
    bool mReturnsToEditor = false;
};

} // namespace kx3
