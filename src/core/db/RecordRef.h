#pragma once

#include <cstdint>
#include <optional>

namespace kx3 {

/// Every kind of record the editor shows, changes, lists in change lists and
/// patches; clubs include the national teams, persons both their roles.
enum class RecordKind : std::uint8_t { Nation, City, Stadium, Club, Official, Person, Misc };
inline constexpr int RecordKindCount = 7;

/// A record of a kind by its index in the kind's table. References are kept
/// across steps only through the document, which moves them with inserts and
/// removals before them and invalidates them when their record goes.
struct RecordRef
{
    RecordKind kind = RecordKind::Person;
    int index = -1;

    constexpr bool valid() const { return index >= 0; }
    static constexpr RecordRef of(RecordKind kind, std::optional<int> index)
    {
        return {kind, index ? *index : -1};
    }
    friend bool operator==(const RecordRef &, const RecordRef &) = default;
};

/// Records inserted (count > 0) or removed (count < 0) at `index` of a kind's
/// table: what moves every reference at or after it.
struct RecordMove
{
    RecordKind kind = RecordKind::Person;
    int index = 0;
    int count = 0;

    /// Where `ref` is after the move; invalid when the move removed it.
    constexpr RecordRef follow(RecordRef ref) const
    {
        if (!ref.valid() || ref.kind != kind || ref.index < index)
            return ref;
        if (count > 0)
            return {kind, ref.index + count};
        if (ref.index < index - count)
            return {kind, -1};
        return {kind, ref.index + count};
    }
    /// The move that takes this one back.
    constexpr RecordMove inverse() const { return {kind, index, -count}; }
    friend bool operator==(const RecordMove &, const RecordMove &) = default;
};

} // namespace kx3
