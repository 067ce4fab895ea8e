#pragma once

#include "core/people/PersonEdit.h"
#include "gui/screen/PickTargets.h"
#include "gui/screen/RecordScreen.h"

#include <optional>
#include <span>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class QToolButton;
class QTreeWidget;

namespace kx3 {

/// The controls the player and the staff screen share, found in their forms.
struct PersonControls
{
    QLineEdit *firstName = nullptr;
    QLineEdit *secondName = nullptr;
    QLineEdit *commonName = nullptr;
    QComboBox *nation = nullptr;
    QComboBox *secondNation = nullptr;
    QComboBox *job = nullptr;
    QComboBox *classification = nullptr;
    QLabel *club = nullptr;
    QToolButton *toClub = nullptr;
    QToolButton *toNation = nullptr;
    QToolButton *toSecondNation = nullptr;
    QTreeWidget *miscList = nullptr;
    QAbstractButton *miscButton = nullptr;
    QAbstractButton *confirm = nullptr;
    QAbstractButton *makePerfect = nullptr;
    QAbstractButton *transfer = nullptr;
    /// "Non-Playing Role" / "Playing Role": the same person on the other screen.
    QAbstractButton *otherRole = nullptr;
    QTabWidget *tabs = nullptr;
};

/// What the player and the staff screen have in common: a person shown from,
/// and confirmed into, the core's person edit. The screen converts between
/// its boxes and the edit; the core checks and applies it.
class PersonScreen : public RecordScreen
{
    Q_OBJECT

public:
    PersonScreen(ScreenContext &context, RoleScreen role, QWidget *parent = nullptr);

    /// "Delete Player" / "Delete Staff": the person and every trace of him.
    void deleteRecord() override;
    QString title() const override;
    /// A relationship slot of `source` was written from the misc-list dialog.
    void relationshipsChanged(MiscListSource source) override;
    /// What the next confirm resolves or rewrites besides the records.
    PersonEditFlags changedFlags() const;
    /// A transfer or release changed the person's club: his misc lines are
    /// rewritten under the new club at the next confirm.
    void setMiscChanged() { mChanged.misc = true; }
    /// Checks every box as a confirm would, without writing; a refusal is shown
    /// on its box when `report`. False when the screen could not be confirmed.
    bool checkBoxes(bool report = true);
    /// Rebuilds the relationship list from the current person's slots.
    void rebuildMiscList();

protected:
    EditResult applyBoxes(std::optional<int> record) override;
    void recordConfirmed(bool created) override;
    QWidget *refusedBox(int box) const override;
    bool loadRecord(int index) override;
    void recordShown() override;
    void loadNewRecord() override;
    bool canCreate() const override { return true; }
    // Both person screens delete the same kind of record: a person.
    bool canDelete() const override { return currentRecord().has_value(); }
    /// Wires the shared controls; `boxNames` name the line edits of
    /// personBoxes(role) in order.
    void setUp(const PersonControls &controls, std::span<const char *const> boxNames);
    /// The lists of nations (the national-team list among them on the staff screen).
    virtual std::vector<QComboBox *> nationLists() const;
    /// Shows and reads what only one of the two screens has.
    virtual void showExtra(const PersonEdit &edit) = 0;
    virtual void readExtra(PersonEdit &edit) const = 0;
    /// The screen now edits an existing person (or a new one when false).
    void setExisting(bool existing);
    /// The control a refused history row is corrected in; none by default.
    virtual QWidget *historyControl() const { return nullptr; }
    /// A confirm succeeded: the screen's own change marks are cleared.
    virtual void confirmed() {}
    void markMiscChanged() { mChanged.misc = true; }
    /// The go-to of a nation list: the nation it shows, if any.
    void goToNation(const QComboBox *list);

    RoleScreen mRole;
    PersonControls mControls;

private:
    void showEdit(const PersonEdit &edit);
    PersonEdit readEdit() const;
    void fillNationLists();
    void nameChanged(bool first, bool second, bool common);
    void nationChanged();
    void jobChanged(int item);
    void roleChanged(int index);
    void classChanged(int item);
    void makePerfectClick();
    void miscListClick();
    void toClubClick();

    /// The edit as last shown or confirmed: what the boxes do not hold.
    PersonEdit mEdit;
    /// The edit a confirm handed to the core.
    PersonEdit mApplied;
    PersonEditFlags mChanged;
};

} // namespace kx3
