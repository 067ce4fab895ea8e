#include "core/clubs/ClubLists.h"

#include "core/layout/ClubRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/lookup/RelationshipRows.h"

#include <algorithm>

namespace kx3 {

QByteArray clubJobName(int job)
{
    return job >= 0 && job < int(ClubJobNames.size()) ? QByteArray(ClubJobNames[std::size_t(job)])
                                                      : QByteArrayLiteral("<unknown>");
}

QByteArray squadSortKey(int number)
{
    if (number == 0)
        return QByteArrayLiteral("50");
    if (number >= 1 && number <= 9)
        return '0' + QByteArray::number(number);
    return QByteArray::number(number);
}

// Both lists read the club's slots and look each person up by index, so they
// cost the same however many persons the database holds.
QList<SquadRow> squadRows(const Database &db, int index)
{
    QList<SquadRow> rows;
    const std::optional<ConstClubRecord> c = club(db, index);
    if (!c)
        return rows;
    for (int slot = ClubSlots::Squad.first; slot < ClubSlots::Squad.end(); ++slot) {
        const std::int32_t p = c->positionSlot(slot);
        if (p <= 0)
            continue;
        int number = 0;
        if (const std::optional<ConstPersonRecord> found = person(db, p)) {
            if (const auto attributes = playerAttributesOf(db, *found))
                number = attributes->squadNumber();
        }
        rows.append({squadSortKey(number), number, personListName(db, p), p});
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const SquadRow &a, const SquadRow &b) { return a.sortKey < b.sortKey; });
    return rows;
}

QList<StaffRow> staffRows(const Database &db, int index)
{
    QList<StaffRow> rows;
    const std::optional<ConstClubRecord> c = club(db, index);
    if (!c)
        return rows;
    for (const int slot : StaffListSlots) {
        const std::int32_t p = c->positionSlot(slot);
        if (p <= 0)
            continue;
        const std::optional<ConstPersonRecord> found = person(db, p);
        rows.append(
            {found ? clubJobName(found->job()) : clubJobName(-1), personListName(db, p), p});
    }
    return rows;
}

} // namespace kx3
