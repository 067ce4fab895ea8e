#pragma once

#include "core/document/Document.h"
#include "gui/screen/RecordKinds.h"

#include <QtGlobal>

#include <array>
#include <cstddef>

namespace kx3 {

/// The editor state every screen shares: which record of each kind is
/// current (as a byte offset into its image; -1 for none) and whether the
/// next confirm adds a record instead of overwriting the current one.
struct EditorState
{
    bool newRecordMode = false;

    /// The current record of an editor's kind; both person editors share one.
    qint64 &offset(EditorScreen kind) { return mOffsets[slot(kind)]; }
    qint64 offset(EditorScreen kind) const { return mOffsets[slot(kind)]; }

    /// The current records after a step: moved with the records before them,
    /// none where their record was removed.
    void follow(const DocumentChange &change)
    {
        // Another database: every kind starts at its first record again.
        if (change.isLoad()) {
            mOffsets.fill(0);
            return;
        }
        for (const RecordKindInfo &row : RecordKinds) {
            if (row.currentRecordOf != row.kind)
                continue;
            qint64 &at = offset(row.kind);
            const RecordRef ref = change.follow(recordRef(row.kind, recordIndex(row.kind, at)));
            at = ref.valid() ? recordOffset(row.kind, ref.index) : -1;
        }
    }

private:
    static std::size_t slot(EditorScreen kind)
    {
        return std::size_t(recordKind(kind).currentRecordOf);
    }

    std::array<qint64, EditorScreenCount> mOffsets{};
};

} // namespace kx3
