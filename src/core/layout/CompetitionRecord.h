#pragma once

#include "core/db/DataFiles.h"
#include "core/db/Database.h"
#include "core/db/RecordView.h"

#include <optional>

namespace kx3 {

/// The part of a 107-byte competition record of club_comp.dat the editor uses.
namespace CompetitionField {
inline constexpr Field<std::int32_t> Id{0};
/// Read up to the first zero byte, never past the record.
inline constexpr TextField Name{4, 103, 103};
} // namespace CompetitionField

/// A club competition (league or division); the editor only reads its name.
template <typename Image>
class BasicCompetitionRecord : public BasicRecordView<Image>
{
    using Base = BasicRecordView<Image>;

public:
    using Base::Base;
    using Base::get;
    using Base::set;
    using Base::setPadded;

    std::int32_t id() const { return get(CompetitionField::Id); }
    bool setId(std::int32_t v) { return set(CompetitionField::Id, v); }
    QByteArray name() const { return get(CompetitionField::Name); }
    /// Zero-padded to the end of the record.
    bool setName(const QByteArray &t) { return setPadded(CompetitionField::Name, t); }
};

using CompetitionRecord = BasicCompetitionRecord<DataImage>;
using ConstCompetitionRecord = BasicCompetitionRecord<const DataImage>;

inline int competitionCount(const Database &db)
{
    return int(db.image(DataFile::ClubComp).recordCount(RecordSize::Competition));
}

/// Competition `index`, or nothing when out of range.
template <typename Db>
requires std::same_as<std::remove_const_t<Db>, Database>
    std::optional<BasicCompetitionRecord<ImageOf<Db>>> competition(Db &db, qsizetype index)
{
    return recordAt<BasicCompetitionRecord<ImageOf<Db>>>(db.image(DataFile::ClubComp),
                                                         RecordSize::Competition, index);
}

} // namespace kx3
