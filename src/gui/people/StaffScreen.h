#pragma once

#include "gui/app/EditorState.h"
#include "gui/widgets/FieldBinding.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>

class QComboBox;

namespace Ui {
class StaffScreen;
}

namespace kx3 {

class Database;
class Lookups;
class Prompter;

/// The staff editor (`pnStaff`): one non-playing person (classification 1 or
/// 3), his person record, his staff attribute record and his misc entries.
///
/// The boxes are only a draft: the image changes when the user confirms, and a
/// confirm converts every box first and writes nothing at all unless all of
/// them convert. The current person is the editor state's person offset.
class StaffScreen : public QWidget
{
    Q_OBJECT

public:
    StaffScreen(Database &db, Lookups &lookups, EditorState &state, Prompter *prompter,
                QWidget *parent = nullptr);
    ~StaffScreen() override;

    void setPrompter(Prompter *prompter) { mPrompter = prompter; }

    /// Fills the screen from the current person and leaves new-record mode.
    void ShowStaff();
    /// Writes the screen into the current person, or into a new one in
    /// new-record mode. False, with nothing written, when a box does not
    /// convert or there is no record to write.
    bool ConfirmStaffClick();
    /// "Create" on this screen: asks, then starts a new staff member.
    void bnCreateNewClick();
    /// Fills the screen with a new staff member's starting values and enters
    /// new-record mode; nothing is added until the confirm.
    void CreateNewStaff();

    /// A transfer or release changed the person's club: his misc lines are
    /// rewritten under the new club at the next confirm.
    void setMiscChanged() { mMiscChanged = true; }
    /// Rebuilds `SMiscList` from the current person's slots.
    void rebuildMiscList();

    /// First name, one space, second name: what the title bar shows.
    QString title() const;
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
    };
    ChangedFlags changedFlags() const;

Q_SIGNALS:
    void titleChanged(const QString &title);
    /// Caption and state of the editor's create and delete buttons.
    void createButtonChanged(const QString &caption, bool enabled);
    void deleteButtonChanged(const QString &caption, bool enabled);
    /// "Playing Role": show the current person on the player screen.
    void playerScreenRequested();
    /// The player search results may list a person who is no player any more.
    void playerResultsStale();
    void clubRequested(qint64 clubOffset);
    void nationRequested(qint64 nationOffset);
    void transferRequested();
    /// Open the misc-list dialog for row `row` of `SMiscList`.
    void miscListDialogRequested(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SFNameChange();
    void SSNameChange();
    void SCNameChange();
    void SNationChange();
    /// `MConf` and `SIntRet`: the person's misc lines are rewritten at the next confirm.
    void MiscFieldChange();
    void SJob1Change(int item);
    void SClassChange(int item);
    void bnSMaxClick();
    void bnPlayingClick();
    void bnSMiscClick();
    void bnSToClubClick();
    void goToNation(const QComboBox *list);

    void connectHandlers();
    void fillLists();
    void clearFlags();
    void setEditing(bool existingRecord);
    QByteArray clubLongNameOfPanel() const;
    void loadMiscEntries();
    void showNatTeam(std::int32_t value);
    /// The national team to store; nothing keeps the stored one.
    std::optional<std::int32_t> natTeamValue() const;
    /// Puts the stored code back into a list without raising its change event.
    static void restore(QComboBox *list, int stored);

    std::unique_ptr<Ui::StaffScreen> mUi;
    Database &mDb;
    Lookups &mLookups;
    EditorState &mState;
    Prompter *mPrompter;

    /// The eight mental ratings of the person record.
    FieldBinding mMental;
    /// Abilities, reputations and the 21 ratings of the staff attribute record.
    FieldBinding mAttributes;
    DateBoxes mBirth;
    DateBoxes mNationalJoined;
    DateBoxes mNationalContractEnd;
    DateBoxes mJoined;
    DateBoxes mContractEnd;

    /// True while the screen is filled from the record or with a new
    /// record's values: the change events then set no flags.
    bool mFilling = false;
    bool mFirstNameChanged = false;
    bool mSecondNameChanged = false;
    bool mCommonNameChanged = false;
    bool mNationalityChanged = false;
    bool mMiscChanged = false;
};

} // namespace kx3
