#pragma once

#include "core/db/DataFiles.h"
#include "core/db/Database.h"
#include "core/db/RecordView.h"

#include <optional>

namespace kx3 {

/// Layout of a 26-byte record of nation_comp_history.dat.
namespace NationCompHistoryField {
inline constexpr BytesField Unused0{0, 10};
/// Club indices of national teams in the combined club image.
inline constexpr ArrayField<std::int32_t> Teams{10, 4};
} // namespace NationCompHistoryField

/// A national competition history record; only its four team references matter
/// to the editor, which moves them when a club is inserted ahead of them.
template <typename Image>
class BasicNationCompHistoryRecord : public BasicRecordView<Image>
{
    using Base = BasicRecordView<Image>;

public:
    using Base::Base;
    using Base::get;
    using Base::set;

    static constexpr int TeamCount = 4;

    std::int32_t team(int i) const
    {
        return i >= 0 && i < TeamCount ? get(NationCompHistoryField::Teams.at(i)) : 0;
    }
    bool setTeam(int i, std::int32_t v)
    {
        return i >= 0 && i < TeamCount && set(NationCompHistoryField::Teams.at(i), v);
    }
    QByteArray leadingBytes() const { return get(NationCompHistoryField::Unused0); }
    bool setLeadingBytes(const QByteArray &b) { return set(NationCompHistoryField::Unused0, b); }
};

using NationCompHistoryRecord = BasicNationCompHistoryRecord<DataImage>;
using ConstNationCompHistoryRecord = BasicNationCompHistoryRecord<const DataImage>;

inline int nationCompHistoryCount(const Database &db)
{
    return int(db.image(DataFile::NationCompHistory).recordCount(RecordSize::NationCompHistory));
}

/// National competition history record `index`, or nothing when out of range.
template <typename Db>
requires std::same_as<std::remove_const_t<Db>, Database>
    std::optional<BasicNationCompHistoryRecord<ImageOf<Db>>> nationCompHistory(Db &db,
                                                                               qsizetype index)
{
    return recordAt<BasicNationCompHistoryRecord<ImageOf<Db>>>(
        db.image(DataFile::NationCompHistory), RecordSize::NationCompHistory, index);
}

} // namespace kx3
