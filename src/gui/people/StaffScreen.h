#pragma once

#include "app/EditorState.h"
#include "widgets/FieldBinding.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>

class QComboBox;
class QLineEdit;

namespace Ui {
class StaffScreen;
}

namespace kx3 {

class Database;
class Lookups;
class Prompter;

/// The staff editor: one non-playing person (classification 1 or 3), his
/// person record, his staff attribute record and his misc entries.
///
/// The boxes are edited freely; nothing reaches the image until "Confirm Staff
/// Data Changes", which first converts every box and writes nothing at all when
/// one of them holds no number. The current person is the state's person offset.
class StaffScreen : public QWidget
{
    Q_OBJECT

public:
    StaffScreen(Database &db, Lookups &lookups, EditorState &state, Prompter *prompter,
                QWidget *parent = nullptr);
    ~StaffScreen() override;

    void setPrompter(Prompter *prompter) { mPrompter = prompter; }

    /// Fills the lists that come from the loaded database (nations, jobs,
    /// classes, formations). Call after every load, before ShowStaff.
    void fillLists();

    /// Fills the screen from the current person and leaves new-record mode.
    void ShowStaff();
    /// Writes the screen back; false when a box held no number (nothing was
    /// written then) or the new record could not be added.
    bool ConfirmStaffClick();
    /// Fills the screen with the values of a new staff member and enters
    /// new-record mode; the next confirm adds him. The question is the caller's.
    void startNewRecord();

    /// A transfer or release changed the person's club: the confirm that
    /// follows must rewrite his misc entries under the new club.
    void markMiscChanged() { mMiscChanged = true; }
    /// Fills `SMiscList` from the current person's relationship slots.
    void rebuildMiscList();

    /// The header text: first name, one space, second name.
    QString title() const;

    /// Changed-field flags, for the caller and for tests.
    struct Flags
    {
        bool firstName = false;
        bool secondName = false;
        bool commonName = false;
        bool nationality = false;
        bool misc = false;
    };
    Flags flags() const;

Q_SIGNALS:
    /// The header `pn2` should read `title`.
    void titleChanged(const QString &title);
    /// A person was shown or added: the create button makes staff (kind 2)
    /// and the delete button, enabled, deletes persons (kind 1).
    void recordShown();
    /// Create filled the screen: the delete button is off until the confirm.
    void newRecordStarted();
    /// A confirm wrote the record (and may have added it).
    void recordConfirmed();
    /// "Playing Role": show the same person on the player screen.
    void playingRoleRequested();
    /// The person lost his playing side; player search results may list him wrongly.
    void playingRoleDropped();
    /// "Change Entry" (or a double-click) on relationship row `row` (from 0).
    void miscListDialogRequested(int row);
    /// "Transfer".
    void transferRequested();
    /// A go-to button: the club screen should show club `club` (club index).
    void clubRequested(int club);
    /// A go-to button: the nation screen should show nation `nation`.
    void nationRequested(int nation);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectControls();
    void setTitleFromNames();
    void setNamesChanged();
    /// Person index of the current record, or nothing in new-record mode or
    /// when the offset names no person.
    std::optional<int> currentPerson() const;
    bool showsClub() const;

    void loadMiscEntries();
    void showNatTeam(std::int32_t value);
    std::optional<std::int32_t> natTeamValue() const;

    // Handlers, named after the control and the event.
    void SFNameChange();
    void SSNameChange();
    void SCNameChange();
    void SNationChange();
    void MConfChange();
    void SIntRetClick();
    void SJob1Change(int item);
    void SClassChange(int item);
    void bnSMaxClick();
    void bnPlayingClick();
    void bnSMiscClick();
    void SMiscListDblClick();
    void bnSToClubClick();
    void goToNation(const QComboBox *list);

    /// Puts the stored code back into a list without raising its change event.
    void restore(QComboBox *list, int stored);

    std::unique_ptr<Ui::StaffScreen> mUi;
    Database &mDb;
    Lookups &mLookups;
    EditorState &mState;
    Prompter *mPrompter;

    /// The eight mental ratings of the person record.
    FieldBinding mMental;
    /// Abilities, reputations and the 21 ratings of the staff attribute record.
    FieldBinding mAttributes;
    DateBoxes mDateOfBirth;
    DateBoxes mNationalJoined;
    DateBoxes mNationalContractEnd;
    DateBoxes mJoined;
    DateBoxes mContractEnd;

    /// True while the screen is filled from the record: the change events
    /// then set no flags.
    bool mFilling = false;
    bool mFirstNameChanged = false;
    bool mSecondNameChanged = false;
    bool mCommonNameChanged = false;
    bool mNationalityChanged = false;
    bool mMiscChanged = false;
};

} // namespace kx3
