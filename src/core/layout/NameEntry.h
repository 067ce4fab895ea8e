#pragma once

#include "core/db/DataFiles.h"
#include "core/db/RecordView.h"

#include <optional>

namespace kx3 {

namespace NameEntryField {
/// Zero-padded; a 51-character name fills the field with no zero byte.
inline constexpr TextField Text{0, 51, 51};
inline constexpr Field<std::int32_t> Id{51};
inline constexpr Field<std::int32_t> NationKey{55};
inline constexpr Field<std::uint8_t> UsageCount{59};
} // namespace NameEntryField

/// Nation key of a name entry that serves people without a nation.
inline constexpr std::int32_t NoNationKey = -2;
/// Highest usage count a name entry stores.
inline constexpr int MaxUsageCount = 255;

/// One 60-byte entry of first_names.dat, second_names.dat or common_names.dat.
template <typename Image>
class BasicNameEntry : public BasicRecordView<Image>
{
    using Base = BasicRecordView<Image>;

public:
    using Base::Base;
    using Base::get;
    using Base::set;
    using Base::setPadded;

    QByteArray text() const { return get(NameEntryField::Text); }
    bool setText(const QByteArray &text) { return setPadded(NameEntryField::Text, text); }
    std::int32_t id() const { return get(NameEntryField::Id); }
    bool setId(std::int32_t id) { return set(NameEntryField::Id, id); }
    std::int32_t nationKey() const { return get(NameEntryField::NationKey); }
    bool setNationKey(std::int32_t key) { return set(NameEntryField::NationKey, key); }
    int usageCount() const { return get(NameEntryField::UsageCount); }
    bool setUsageCount(int count) { return set(NameEntryField::UsageCount, std::uint8_t(count)); }
};

using NameEntry = BasicNameEntry<DataImage>;
using ConstNameEntry = BasicNameEntry<const DataImage>;

/// Entry `index` of a name table image, or nothing when out of range.
inline std::optional<NameEntry> nameEntry(DataImage &table, qsizetype index)
{
    return recordAt<NameEntry>(table, RecordSize::NameEntry, index);
}
/// The same record, read-only.
inline std::optional<ConstNameEntry> nameEntry(const DataImage &table, qsizetype index)
{
    return recordAt<ConstNameEntry>(table, RecordSize::NameEntry, index);
}

} // namespace kx3
