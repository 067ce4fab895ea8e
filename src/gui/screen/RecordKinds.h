#pragma once

#include "core/db/DataFiles.h"
#include "core/db/RecordRef.h"
#include "core/lookup/RecordTitles.h"

#include <QByteArray>

#include <array>
#include <cstddef>
#include <optional>

namespace kx3 {

/// The record editors of the editor screen, in the order of their rows in
/// RecordKinds.
enum class EditorScreen { Player, Staff, Club, Nation, City, Stadium, Official };

/// What the editor knows of one record kind besides its screen class: where
/// its current record is kept, how records are addressed, what the create and
/// delete buttons say for it and how its records are named.
struct RecordKindInfo
{
    EditorScreen kind;
    /// The records it shows.
    RecordKind record;
    /// The kind whose current record this one shares: both person editors
    /// show the one current person.
    EditorScreen currentRecordOf;
    /// Bytes per record in the kind's image; a record's offset is its index
    /// times this.
    int recordSize;
    /// What its screen's confirm button says; a confirm's step is named so.
    const char *confirmCaption;
    const char *createCaption;
    const char *deleteCaption;
    /// The record's name for the editor's title bar; empty for no record.
    QByteArray (*name)(const Database &db, int index);
    /// Whether its records feed the choice and pick lists (names of clubs,
    /// nations, cities, stadiums): a step on one may change them.
    bool listed;
};

/// One row per record kind, in the order of EditorScreen. A new kind is an
/// enumerator, a row here, its screen class and its form.
inline constexpr std::array RecordKinds = {
    RecordKindInfo{EditorScreen::Player, RecordKind::Person, EditorScreen::Player,
                   RecordSize::Person, "Confirm Player Data Changes", "Create New Player",
                   "Delete Player", personTitle, false},
    RecordKindInfo{EditorScreen::Staff, RecordKind::Person, EditorScreen::Player,
                   RecordSize::Person, "Confirm Staff Data Changes", "Create New Staff",
                   "Delete Staff", personTitle, false},
    RecordKindInfo{EditorScreen::Club, RecordKind::Club, EditorScreen::Club, RecordSize::Club,
                   "Confirm Club Data Changes", "Create New Club", "Delete Club", clubTitle, true},
    RecordKindInfo{EditorScreen::Nation, RecordKind::Nation, EditorScreen::Nation,
                   RecordSize::Nation, "Confirm Nation Data Changes", "Create New Nation",
                   "Delete Nation", nationTitle, true},
    RecordKindInfo{EditorScreen::City, RecordKind::City, EditorScreen::City, RecordSize::City,
                   "Confirm City Data Changes", "Create New City", "Delete City", cityTitle, true},
    RecordKindInfo{EditorScreen::Stadium, RecordKind::Stadium, EditorScreen::Stadium,
                   RecordSize::Stadium, "Confirm Stadium Data Changes", "Create New Stadium",
                   "Delete Stadium", stadiumTitle, true},
    RecordKindInfo{EditorScreen::Official, RecordKind::Official, EditorScreen::Official,
                   RecordSize::Official, "Confirm Official Data Changes", "Create New Official",
                   "Delete Official", officialTitle, false},
};
inline constexpr int EditorScreenCount = int(RecordKinds.size());

consteval bool rowsInKindOrder()
{
    for (std::size_t k = 0; k < RecordKinds.size(); ++k) {
        if (RecordKinds[k].kind != EditorScreen(k))
            return false;
    }
    return true;
}
static_assert(rowsInKindOrder(), "RecordKinds lists the kinds in the order of EditorScreen");

constexpr const RecordKindInfo &recordKind(EditorScreen kind)
{
    return RecordKinds[std::size_t(kind)];
}

/// The offset of record `index` of `kind`.
constexpr qint64 recordOffset(EditorScreen kind, int index)
{
    return qint64(index) * recordKind(kind).recordSize;
}

/// The record of `kind` at `offset`; nothing for an offset between records.
constexpr std::optional<int> recordIndex(EditorScreen kind, qint64 offset)
{
    const int size = recordKind(kind).recordSize;
    if (offset < 0 || offset % size != 0)
        return std::nullopt;
    return int(offset / size);
}

/// Record `index` of the records `kind` shows; none without an index.
inline RecordRef recordRef(EditorScreen kind, std::optional<int> index)
{
    return RecordRef::of(recordKind(kind).record, index);
}

} // namespace kx3
