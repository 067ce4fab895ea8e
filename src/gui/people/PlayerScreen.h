#pragma once

#include "core/db/MiscEntries.h"
#include "gui/app/EditorState.h"
#include "gui/app/SearchMenuModes.h"
#include "gui/widgets/FieldBinding.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class PlayerScreen;
}

namespace kx3 {

class Database;
class HistoryEditor;
class Lookups;
class Prompter;

/// The player editor (`pnPlayer`): a person of the player kind with his player
/// attribute record, career history, misc entries and relationship list.
///
/// The boxes are only a draft: the image changes when the user confirms, and
/// a confirm writes nothing unless every box converts.
class PlayerScreen : public QWidget
{
    Q_OBJECT

public:
    PlayerScreen(Database &db, Lookups &lookups, EditorState &state, Prompter *prompter,
                 QWidget *parent = nullptr);
    ~PlayerScreen() override;

    void setPrompter(Prompter *prompter);

    /// Fills the screen from the current person and leaves new-record mode.
    void ShowPlayer();
    /// Writes the screen into the current person, or into a new one in
    /// new-record mode. False, with nothing written, when a box does not
    /// convert or there is no record to write.
    bool ConfirmPlayerClick();
    /// "Create" on this screen: asks, then starts a new player.
    void bnCreateNewClick();
    /// Fills the screen with a new player's starting values and enters
    /// new-record mode; nothing is added until the confirm.
    void CreateNewPlayer();

    /// A transfer or release changed the person's club: his misc lines are
    /// rewritten under the new club at the next confirm.
    void setMiscChanged();
    /// Club picking chose `text` for one of the club boxes.
    void setPickedClub(ClubPickField field, const QString &text);
    /// Rebuilds `PMiscList` from the current person's slots.
    void rebuildMiscList();

    /// First name, one space, second name: what the title bar shows.
    QString title() const { return mTitle; }
    /// The person shown, or nothing before the first confirm of a new one.
    std::optional<int> currentPerson() const;

    /// What the next confirm resolves or rewrites besides the records.
    struct ChangedFlags
    {
        bool firstName = false;
        bool secondName = false;
        bool commonName = false;
        bool nationality = false;
        bool misc = false;
        bool history = false;
    };
    ChangedFlags changedFlags() const;

Q_SIGNALS:
    void titleChanged(const QString &title);
    /// Caption and state of the editor's create and delete buttons.
    void createButtonChanged(const QString &caption, bool enabled);
    void deleteButtonChanged(const QString &caption, bool enabled);
    /// Show the current person on the staff screen.
    void staffScreenRequested();
    /// The player search results may list a person who is no player any more.
    void playerResultsStale();
    void clubRequested(qint64 clubOffset);
    void nationRequested(qint64 nationOffset);
    void transferRequested();
    /// Open the misc-list dialog for row `row` of `PMiscList`.
    void miscListDialogRequested(int row);
    void clubPickingRequested(ClubPickField field);

private:
    void FNameChange();
    void SNameChange();
    void CNameChange();
    void PNationChange();
    /// Every box of the "Miscelaneous" tab and `PIAdjust`: the person's misc
    /// lines are rewritten at the next confirm.
    void MiscFieldChange();
    void PJobChange(int item);
    void PClassChange(int item);
    void bnPMaxClick();
    void bnNonPlayingClick();
    void bgPMiscClick();
    void bnPToClubClick();
    void bnPNatClick();
    void bnPSecNatClick();

    void connectHandlers();
    void fillLists();
    void setTitle(const QString &title);
    void clearFlags();
    /// The record the screen edits, or nothing (new-record mode, no record).
    std::optional<int> shownPerson() const;
    /// The misc identity of the screen's boxes and club panel.
    MiscIdentity screenIdentity() const;
    QByteArray clubLongNameOfPanel() const;
    void showMiscEntries(const PlayerMiscEntries &entries);
    PlayerMiscEntries miscEntriesOfScreen() const;
    void setEditing(bool existingRecord);

    std::unique_ptr<Ui::PlayerScreen> mUi;
    Database &mDb;
    Lookups &mLookups;
    EditorState &mState;
    Prompter *mPrompter;
    HistoryEditor *mHistory = nullptr;

    FieldBinding mMental;
    /// Squad number, abilities, position and playing ratings, in record order.
    FieldBinding mAttributes;
    DateBoxes mBirth;
    DateBoxes mJoined;
    DateBoxes mContractEnd;

    QString mTitle;
    ChangedFlags mFlags;
};

} // namespace kx3
