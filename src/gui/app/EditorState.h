#pragma once

#include <QtGlobal>

namespace kx3 {

/// What the create and delete buttons act on; the values are those the
/// record screens hand to them.
enum class RecordKind { Club = 0, Player = 1, Staff = 2, Official = 3, City = 4, Stadium = 5 };

/// The record editors of the editor screen.
enum class EditorScreen { Player, Staff, Club, Nation, City, Stadium, Official };
inline constexpr int EditorScreenCount = 7;

/// The editor state every screen shares: which record of each kind is
/// current (as a byte offset into its image) and whether the next confirm
/// adds a record instead of overwriting the current one.
struct EditorState
{
    qint64 personOffset = 0;   ///< staff.dat, players and staff alike
    qint64 clubOffset = 0;     ///< the combined club image
    qint64 nationOffset = 0;   ///< nation.dat
    qint64 cityOffset = 0;     ///< city.dat
    qint64 stadiumOffset = 0;  ///< stadium.dat
    qint64 officialOffset = 0; ///< officials.dat
    bool newRecordMode = false;
    RecordKind recordKind = RecordKind::Club;

    qint64 &offset(EditorScreen screen)
    {
        switch (screen) {
        case EditorScreen::Player:
        case EditorScreen::Staff: return personOffset;
        case EditorScreen::Club: return clubOffset;
        case EditorScreen::Nation: return nationOffset;
        case EditorScreen::City: return cityOffset;
        case EditorScreen::Stadium: return stadiumOffset;
        case EditorScreen::Official: return officialOffset;
        }
        return personOffset;
    }
};

} // namespace kx3
