#pragma once

#include "gui/screen/PickTargets.h"
#include "gui/screen/RecordKinds.h"

#include <QObject>
#include <QString>

namespace kx3 {

class Database;
class Document;
class Lookups;
class Prompter;
class SearchMenu1;
struct EditorState;

/// The two ways the editor borrows the main search menu to choose a record
/// for a field: the misc-list dialog, which writes a chosen person or club
/// into a relationship slot of the current club or person at once, and club
/// picking, which hands a chosen club's name to a box of a person screen.
///
/// A mode lasts until the menu is reset by "Search"; its pick, "Set To None"
/// or "Cancel" return to the editor screen.
class SearchMenuModes : public QObject
{
    Q_OBJECT

public:
    enum class Mode { None, MiscList, ClubPicking };

    SearchMenuModes(Database &db, const Lookups &lookups, EditorState &state, SearchMenu1 *menu,
                    QObject *parent = nullptr);

    void setPrompter(Prompter *prompter) { mPrompter = prompter; }
    /// Where a list entry written becomes a step.
    void setDocument(Document *doc) { mDoc = doc; }
    Mode mode() const { return mMode; }
    MiscListSource miscListSource() const { return mSource; }
    int miscListRow() const { return mRow; }
    ClubPickField pickField() const { return mField; }

    /// Opens the misc-list dialog for `row` (from 0) of a relationship list;
    /// does nothing and returns false when no row is selected (row < 0) or
    /// the list has no such row.
    bool openMiscListDialog(MiscListSource source, int row);
    /// Starts choosing a club for one of the club name boxes.
    void startClubPicking(ClubPickField field);

    /// A record chosen from a search list; true when a mode took it (a person
    /// for the dialog, a club for either mode).
    bool pick(EditorScreen kind, qint64 offset);
    /// A person chosen from a search list; true when the dialog took it.
    bool pickPerson(qint64 offset);
    /// A club chosen from the club list; true when a mode took it.
    bool pickClub(qint64 offset);
    /// "Set To None" of either mode.
    void MiscNoneClick();

    /// The search menu was reset to plain searching.
    void end() { mMode = Mode::None; }

Q_SIGNALS:
    /// A slot of the source's relationship list was written: rebuild it.
    void relationshipListChanged(MiscListSource source);
    /// Club picking chose a club (its caption for TClub and LClub, its entry
    /// of the club name list for HClu) or "<none>".
    void clubPicked(ClubPickField field, const QString &text);
    void searchMenuRequested();
    void editorRequested();

private:
    bool isClubSlot() const;
    /// Writes the relationship slot of the dialog, when the current record is
    /// there.
    void writeSlot(qint32 value);

    Database &mDb;
    const Lookups &mLookups;
    EditorState &mState;
    SearchMenu1 *mMenu;
    Prompter *mPrompter = nullptr;
    Document *mDoc = nullptr;
    Mode mMode = Mode::None;
    MiscListSource mSource = MiscListSource::Club;
    int mRow = -1;
    ClubPickField mField = ClubPickField::TClub;
};

} // namespace kx3
