#pragma once

#include "core/db/Database.h"

#include <QtGlobal>

#include <utility>

namespace kx3::test {

/// True when `find(db, i)` hands out a read-only view of exactly the record
/// it hands out writable, or nothing for both, for every i in [first, end):
/// the two overloads of an accessor each spell out where their table lies.
template <typename Accessor>
bool readOnlyFindsTheSame(Database &db, Accessor find, qsizetype first, qsizetype end)
{
    for (qsizetype i = first; i < end; ++i) {
        const auto writable = find(db, i);
        const auto readOnly = find(std::as_const(db), i);
        static_assert(!std::remove_cvref_t<decltype(*readOnly)>::Writable);
        if (writable.has_value() != readOnly.has_value())
            return false;
        if (writable
            && (writable->offset() != readOnly->offset()
                || writable->image() != readOnly->image()))
            return false;
    }
    return true;
}

} // namespace kx3::test
