#include "core/lookup/RelationshipRows.h"

#include "core/layout/ClubRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/NameTables.h"

namespace kx3 {

namespace {

const QByteArray NoneText = QByteArrayLiteral("<none>");

QByteArray desc(const char *group, int slot)
{
    return QByteArray(group) + QByteArray::number(slot % 3 + 1);
}

QByteArray slotName(const Database &db, const ClubNameList &clubNames, std::int32_t value,
                    bool clubSlot)
{
    if (value < 0)
        return NoneText;
    return clubSlot ? clubNames.get(value) : personListName(db, value);
}

} // namespace

QByteArray personListName(const Database &db, int index)
{
    const std::optional<ConstPersonRecord> p = person(db, index);
    if (!p)
        return {};
    return FirstNameText(db, p->firstName()) + ' ' + SecondNameText(db, p->secondName());
}

QList<RelationshipRow> personRelationshipRows(const Database &db, const ClubNameList &clubNames,
                                              int index)
{
    static const char *const Groups[] = {"Fav Club ", "Dislike Club ", "Fav Plyr/Staff ",
                                         "Dislike Plyr/Staff "};
    QList<RelationshipRow> rows;
    const std::optional<ConstPersonRecord> p = person(db, index);
    if (!p)
        return rows;
    for (int slot = 0; slot < PersonRelationship::Count; ++slot) {
        rows.append(
            {desc(Groups[slot / 3], slot), slotName(db, clubNames, p->relationship(slot),
                                                    PersonRelationship::isClubSlot(slot))});
    }
    return rows;
}

QList<RelationshipRow> clubRelationshipRows(const Database &db, const ClubNameList &clubNames,
                                            int index)
{
    static const char *const Groups[] = {"Fav Plyr/Staff ", "Dislike Plyr/Staff ", "Rival Club "};
    QList<RelationshipRow> rows;
    const std::optional<ConstClubRecord> c = club(db, index);
    if (!c)
        return rows;
    for (int slot = 0; slot < ClubRelationship::Count; ++slot) {
        rows.append({desc(Groups[slot / 3], slot), slotName(db, clubNames, c->relationship(slot),
                                                            ClubRelationship::isClubSlot(slot))});
    }
    return rows;
}

bool setPersonRelationship(Database &db, qsizetype index, int slot, std::int32_t value)
{
    std::optional<PersonRecord> p = person(db, index);
    if (!p || !p->setRelationship(slot, value))
        return false;
    return true;
}

bool setClubRelationship(Database &db, qsizetype index, int slot, std::int32_t value)
{
    std::optional<ClubRecord> c = club(db, index);
    if (!c || !c->setRelationship(slot, value))
        return false;
    return true;
}

} // namespace kx3
