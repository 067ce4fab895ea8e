#pragma once

#include <QtGlobal>

#include <cstddef>

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

    /// The current record of an editor's kind; both person editors share one.
    qint64 &offset(EditorScreen screen) { return this->*Offsets[std::size_t(screen)]; }

private:
    // In the order of EditorScreen.
    static constexpr qint64 EditorState::*Offsets[EditorScreenCount] = {
        &EditorState::personOffset,  &EditorState::personOffset, &EditorState::clubOffset,
        &EditorState::nationOffset,  &EditorState::cityOffset,   &EditorState::stadiumOffset,
        &EditorState::officialOffset};
};

} // namespace kx3
