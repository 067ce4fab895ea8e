#pragma once

#include "core/db/EditHistory.h"
#include "core/document/Document.h"
#include "core/lookup/EditBoxes.h"
#include "core/lookup/EditResult.h"
#include "gui/screen/EditorState.h"
#include "gui/screen/PickTargets.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLineEdit;

namespace kx3 {

class Database;
class Lookups;
class PickList;
class Prompter;

/// What every record screen works on. The main window owns it and deletes its
/// screens before it, so a screen can never outlive what it refers to.
struct ScreenContext
{
    Database &db;
    Lookups &lookups;
    EditorState &state;
    Prompter &prompter;
    /// Every step a screen takes goes through it, and it tells the screens
    /// what every other step changed.
    Document &doc;

    /// The one switch every screen and panel asks before it offers a change:
    /// off while the installation is open read-only.
    bool changesAllowed() const;
};

/// Caption and state of the editor's create or delete button while a screen
/// is shown.
struct RecordButton
{
    QString caption;
    bool enabled = false;
};

/// The contract of every record editor inside the editor screen: the main
/// window shows a record on it, creates through it and listens to it, and
/// knows nothing else about it.
///
/// A screen writes only the record whose data it shows: after a show, the
/// record at the state's offset of its kind; in new-record mode, a new one.
/// It follows that record through every step (moved by inserts and removals
/// before it, gone when it is removed), and a confirm is refused when the
/// record's bytes are no longer the ones it showed.
class RecordScreen : public QWidget
{
    Q_OBJECT

public:
    RecordScreen(ScreenContext &context, EditorScreen kind, QWidget *parent = nullptr);

    /// The record kind this screen edits.
    EditorScreen kind() const { return mKind; }
    /// Fills the screen from the current record of its kind and leaves
    /// new-record mode; false, with the screen unchanged, when that record
    /// does not exist.
    bool showRecord();
    /// Writes the screen into the record it shows, or adds a record in
    /// new-record mode; false, with nothing written, when refused (the
    /// refusal is shown on the box at fault). The confirm is a step named
    /// `stepAction` (by default the confirm button's caption) and the title.
    bool confirm(const QString &stepAction = QString());
    /// "Create": after the user agrees, fills the screen with a new record's
    /// defaults and enters new-record mode. Kinds that cannot be created do
    /// nothing.
    void beginNewRecord();
    /// "Delete" on the record shown. Kinds that cannot be deleted do nothing.
    virtual void deleteRecord() {}
    RecordButton createButton() const;
    RecordButton deleteButton() const;
    /// What the editor's title bar shows for the screen's record.
    virtual QString title() const = 0;
    /// The record shown and written by a confirm; nothing in new-record mode
    /// before the first confirm.
    std::optional<int> currentRecord() const;
    /// The record the screen shows (also behind a pending create); invalid
    /// when it shows none.
    RecordRef shownRecord() const { return recordRef(mKind, mShown); }
    /// The record's bytes as they are now are the ones the screen works on:
    /// a change the screen itself asked for (a transfer, a misc-list slot)
    /// is not a change made behind its back.
    void adoptRecordBytes();
    /// Whether another step wrote the record since the screen showed it.
    bool recordChangedSinceShown() const;

    /// A relationship slot of `source` was written from the misc-list dialog;
    /// a screen that lists such slots lists them again.
    virtual void relationshipsChanged(MiscListSource source) { Q_UNUSED(source) }
    /// A club was picked on the search menu for the box `field`; a screen
    /// with such a box shows it.
    virtual void setPickedClub(ClubPickField field, const QString &club)
    {
        Q_UNUSED(field)
        Q_UNUSED(club)
    }

    /// Records of `kind` can now be shown: the go-to buttons that open them
    /// are offered.
    void screenAdded(EditorScreen kind);

    /// Whether the boxes differ from what the screen last showed or wrote:
    /// a value typed and typed back is no change.
    bool hasUnconfirmedEdits() const { return editState() != mShownState; }
    /// Closes what the data changed since the last step into one step named
    /// `action` and the record's title.
    bool takeStep(const QString &action, RecordRef before, RecordRef after,
                  const QString &name = QString());

Q_SIGNALS:
    void titleChanged(const QString &title);
    /// The create or delete button's caption or state changed.
    void buttonsChanged();
    /// Show record `offset` of `kind` (a go-to button, another role).
    void recordRequested(kx3::EditorScreen kind, qint64 offset);
    /// The record shown was deleted; `message` tells the user so.
    void recordDeleted(const QString &message);
    /// Slot `row` of the relationships of `source` is to be set on the
    /// misc-list dialog.
    void miscListDialogRequested(kx3::MiscListSource source, int row);
    /// A club is to be picked on the search menu for the box `field`.
    void clubPickingRequested(kx3::ClubPickField field);
    /// The person shown is to be transferred.
    void transferRequested();
    /// A step removed the record shown (`name` as it was called); the
    /// screen shows nothing until it is given a record again.
    void recordGone(const QString &name);

protected:
    /// Fills the boxes from record `index` of the screen's kind; false, with
    /// the screen unchanged, when there is no such record.
    virtual bool loadRecord(int index) = 0;
    /// The record loaded is now the one shown and current: what reads it
    /// through currentRecord() may follow.
    virtual void recordShown() {}
    /// Fills the boxes with a new record's defaults and puts the focus in its
    /// first box; new-record mode is on.
    virtual void loadNewRecord() {}
    /// Converts the boxes into the kind's edit value and has the core apply it
    /// to `record`, or add a record when there is none.
    virtual EditResult applyBoxes(std::optional<int> record) = 0;
    /// A confirm wrote the record, now the one shown and current (`created`:
    /// it was added).
    virtual void recordConfirmed(bool created) { Q_UNUSED(created) }
    /// The box a refusal names; null when it names none.
    virtual QWidget *refusedBox(int box) const;
    /// Whether "Create" and "Delete" act on the screen's kind just now.
    virtual bool canCreate() const { return false; }
    virtual bool canDelete() const { return false; }

    /// Opens record `index` of `kind` on its screen.
    void requestRecord(EditorScreen kind, int index);
    /// A go-to button: disabled until a screen of `kind` exists.
    void addGoTo(QAbstractButton *button, EditorScreen kind);
    /// A go-to button that opens the record of `kind` that `target` names,
    /// if it names one.
    void addGoTo(QAbstractButton *button, EditorScreen kind,
                 std::function<std::optional<int>()> target);

    /// The nation a nation list shows (its item 0 is "<none>"), if any.
    static std::optional<int> chosenNation(const QComboBox *list);
    /// The record a list filled from `pickList` shows, if any.
    static std::optional<int> chosenRecord(const PickList &pickList, const QComboBox *list);

    /// Everything the user can change on the screen, as texts; a screen
    /// adds what its boxes do not hold (a list edited in place).
    virtual QStringList editState() const;
    /// A box that only selects or prepares what an edit in place holds (the
    /// row boxes of a list): not itself an edit.
    void notAnEdit(const QWidget *box) { mNotEdits.push_back(box); }
    /// A button that leads to a change of the data (a transfer, a misc-list
    /// slot): off, like the confirm button, while changes are not allowed.
    void addChangeButton(QAbstractButton *button) { mChangeButtons.push_back(button); }
    bool changesAllowed() const { return mContext.changesAllowed(); }

    /// Record `index`, titled `name` while it was there, was deleted: the
    /// deletion is a step, and `message` tells the user.
    void recordRemoved(int index, const QString &name, const QString &message);

    /// What the screen shows now is the stored record: nothing is left to ask
    /// about when it is left.
    void dropUnconfirmedEdits() { markShown(); }

    /// Tells why an edit was refused: an error box with the focus on the box
    /// at fault (its tab brought up) when the refusal names one, else a plain
    /// message.
    void showRefusal(const EditResult &refusal);

    ScreenContext &mContext;
    std::optional<int> mShown;
    /// The line edits in the order of the kind's box list in the core.
    std::vector<QLineEdit *> mBoxes;
    /// The core's description of mBoxes, box by box: what a refusal adds
    /// below its message and what a confirm asks about.
    void describeBoxes(std::span<const EditBox> boxes);

private:
    /// Shows record `index` without touching the shared editor state.
    bool showIndex(int index);
    void documentChanged(const DocumentChange &change);
    /// Refuses a text box holding a character the game's files cannot
    /// store, on the box; false when every text can be stored.
    bool refuseUnstorableText();
    /// What the user sees now is what was shown or written.
    void markShown()
    {
        mShownState = editState();
        mShownBoxTexts = boxTexts();
    }

    /// The texts of mBoxes.
    QList<QString> boxTexts() const;
    /// Asks whether to store values outside the ranges the screen shows;
    /// true when there are none or the user agrees.
    bool agreeToRanges();

    /// The record's bytes as last shown or written.
    QByteArray mStamp;
    /// Filled with a new record's defaults, not yet confirmed.
    bool mCreating = false;
    /// A step the screen takes is being told.
    bool mOwnStep = false;
    std::vector<EditBox> mEditBoxes;
    std::vector<QString> mBoxLimits;
    std::vector<BoxAdvice> mBoxAdvice;
    /// What mBoxes showed after the last show or confirm.
    QList<QString> mShownBoxTexts;
    EditorScreen mKind;
    std::vector<std::pair<QAbstractButton *, EditorScreen>> mGoTos;
    QStringList mShownState;
    std::vector<const QWidget *> mNotEdits;
    std::vector<QAbstractButton *> mChangeButtons;
};

} // namespace kx3
