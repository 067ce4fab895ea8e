#pragma once

#include "gui/screen/RecordKinds.h"

#include <QtGlobal>

#include <array>
#include <cstddef>

namespace kx3 {

/// The editor state every screen shares: which record of each kind is
/// current (as a byte offset into its image) and whether the next confirm
/// adds a record instead of overwriting the current one.
struct EditorState
{
    bool newRecordMode = false;

    /// The current record of an editor's kind; both person editors share one.
    qint64 &offset(EditorScreen kind) { return mOffsets[slot(kind)]; }
    qint64 offset(EditorScreen kind) const { return mOffsets[slot(kind)]; }

private:
    static std::size_t slot(EditorScreen kind)
    {
        return std::size_t(recordKind(kind).currentRecordOf);
    }

    std::array<qint64, EditorScreenCount> mOffsets{};
};

} // namespace kx3
