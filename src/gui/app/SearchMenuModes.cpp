#include "SearchMenuModes.h"

#include "SearchMenu1.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/document/Document.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/RelationshipRows.h"
#include "gui/screen/EditorState.h"
#include "gui/widgets/Prompter.h"

namespace kx3 {

namespace {

const QString NoneText = QStringLiteral("<none>");

/// A national or under-21 team: a record past the clubs of club.Dat.
bool isNationalTeam(const Database &db, qint64 offset)
{
    return offset >= db.image(DataFile::Club).size();
}

} // namespace

SearchMenuModes::SearchMenuModes(Database &db, const Lookups &lookups, EditorState &state,
                                 SearchMenu1 *menu, QObject *parent)
    : QObject(parent), mDb(db), mLookups(lookups), mState(state), mMenu(menu)
{
}

bool SearchMenuModes::isClubSlot() const
{
    return mSource == MiscListSource::Club ? ClubRelationship::isClubSlot(mRow)
                                           : PersonRelationship::isClubSlot(mRow);
}

bool SearchMenuModes::openMiscListDialog(MiscListSource source, int row)
{
    const int rows =
        source == MiscListSource::Club ? ClubRelationship::Count : PersonRelationship::Count;
    if (row < 0 || row >= rows)
        return false;
    mMode = Mode::MiscList;
    mSource = source;
    mRow = row;
    mMenu->showMiscListDialog(isClubSlot());
    Q_EMIT searchMenuRequested();
    return true;
}

void SearchMenuModes::startClubPicking(ClubPickField field)
{
    mMode = Mode::ClubPicking;
    mField = field;
    mMenu->showClubPicking();
    Q_EMIT searchMenuRequested();
}

void SearchMenuModes::writeSlot(qint32 value)
{
    const bool club = mSource == MiscListSource::Club;
    const EditorScreen kind = club                               ? EditorScreen::Club
                              : mSource == MiscListSource::Staff ? EditorScreen::Staff
                                                                 : EditorScreen::Player;
    const std::optional<int> index = recordIndex(kind, mState.offset(kind));
    if (index && !mDb.isReadOnly()) {
        club ? setClubRelationship(mDb, *index, mRow, value)
             : setPersonRelationship(mDb, *index, mRow, value);
        if (mDoc) {
            const RecordRef place = recordRef(kind, index);
            mDoc->commitStep(QStringLiteral("Change Misc List \u2014 ")
                                 + fromCp1252(recordKind(kind).name(mDb, *index)),
                             place, place);
        }
    }
}

bool SearchMenuModes::pick(EditorScreen kind, qint64 offset)
{
    switch (kind) {
    case EditorScreen::Player:
    case EditorScreen::Staff: return pickPerson(offset);
    case EditorScreen::Club: return pickClub(offset);
    default: return false;
    }
}

bool SearchMenuModes::pickPerson(qint64 offset)
{
    if (mMode != Mode::MiscList)
        return false;
    // Only the person search groups are shown for a person slot.
    if (isClubSlot())
        return true;
    const std::optional<int> person = recordIndex(EditorScreen::Player, offset);
    if (!person)
        return true;
    writeSlot(*person);
    Q_EMIT relationshipListChanged(mSource);
    Q_EMIT editorRequested();
    return true;
}

bool SearchMenuModes::pickClub(qint64 offset)
{
    const std::optional<int> club = recordIndex(EditorScreen::Club, offset);
    if (mMode == Mode::None || !club)
        return false;
    if (mMode == Mode::MiscList) {
        if (!isClubSlot())
            return true;
        if (isNationalTeam(mDb, offset)) {
            if (mPrompter)
                mPrompter->information(QStringLiteral("Cannot Add a National Team."));
            return true;
        }
        writeSlot(*club);
        Q_EMIT relationshipListChanged(mSource);
        Q_EMIT editorRequested();
        return true;
    }

    if (isNationalTeam(mDb, offset)) {
        if (mPrompter)
            mPrompter->information(QStringLiteral("Cannot Select a National Team."));
        return true;
    }
    // The future transfer and loan boxes take the name the list shows; the
    // history box takes the name it looks clubs up by.
    const QByteArray name =
        mField == ClubPickField::HClu ? mLookups.clubNames().get(*club) : ClubLongName(mDb, *club);
    Q_EMIT clubPicked(mField, fromCp1252(name));
    Q_EMIT editorRequested();
    return true;
}

void SearchMenuModes::MiscNoneClick()
{
    if (mMode == Mode::ClubPicking) {
        Q_EMIT clubPicked(mField, NoneText);
        Q_EMIT editorRequested();
        return;
    }
    if (mMode != Mode::MiscList || mRow < 0)
        return;
    const qint32 none = isClubSlot() ? PersonNone::Club : PersonNone::Person;
    writeSlot(none);
    Q_EMIT relationshipListChanged(mSource);
    Q_EMIT editorRequested();
}

} // namespace kx3
