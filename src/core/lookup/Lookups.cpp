#include "core/lookup/Lookups.h"

#include "core/db/Database.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/CompetitionRecord.h"
#include "core/layout/NationRecord.h"
#include "core/layout/PersonRecord.h"

namespace kx3 {

namespace {

// Upper case of a Windows-1252 byte; bytes that are no lower-case letter stay.
unsigned char upperWindows1252(unsigned char b)
{
    if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
        return b - 0x20;
    switch (b) {
    case 0x9A: return 0x8A; // s caron
    case 0x9C: return 0x8C; // oe
    case 0x9E: return 0x8E; // z caron
    case 0xFF: return 0x9F; // y diaeresis
    default: return b;
    }
}

bool equalIgnoringCase(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (upperWindows1252(static_cast<unsigned char>(a[i]))
            != upperWindows1252(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace

QByteArray NationName(const Database &db, int nation)
{
    const auto record = kx3::nation(db, nation);
    return record ? record->longName() : QByteArray();
}

QByteArray CompetitionName(const Database &db, int competition)
{
    const auto record = kx3::competition(db, competition);
    return record ? record->name() : QByteArray();
}

QByteArray CityName(const Database &db, int city)
{
    const auto record = kx3::city(db, city);
    return record ? record->name() : QByteArray();
}

QByteArray ClubLongName(const Database &db, int club)
{
    const auto record = kx3::club(db, club);
    return record ? record->longName() : QByteArray();
}

QByteArray ClubShortName(const Database &db, int club)
{
    const auto record = kx3::club(db, club);
    return record ? record->shortName() : QByteArray();
}

void RecountNationPersons(Database &db, int nation)
{
    auto record = kx3::nation(db, nation);
    if (!record)
        return;
    std::int32_t count = 0;
    const int persons = personCount(db);
    for (int i = 0; i < persons; ++i) {
        const auto p = person(db, i);
        if (p && p->nationality() == nation)
            ++count;
    }
    record->setPersonCount(count);
}

void RecountNationClubs(Database &db, int nation)
{
    auto record = kx3::nation(db, nation);
    if (!record)
        return;
    int count = 0;
    const int clubs = db.clubCount();
    for (int i = 0; i < clubs; ++i) {
        const auto c = club(db, i);
        if (c && c->nation() == nation)
            ++count;
    }
    record->setClubCount(count);
}

QList<QByteArray> nationItems(const Database &db)
{
    const int count = nationCount(db);
    QList<QByteArray> items;
    items.reserve(count + 1);
    items.append(QByteArrayLiteral("<none>"));
    for (int i = 0; i < count; ++i)
        items.append(NationName(db, i));
    return items;
}

QList<QByteArray> competitionItems(const Database &db)
{
    const int count = competitionCount(db);
    QList<QByteArray> items;
    items.reserve(count + 1);
    items.append(QByteArrayLiteral("<none>"));
    for (int i = 0; i < count; ++i)
        items.append(CompetitionName(db, i));
    return items;
}

ClubNameList ClubNameList::fromDatabase(const Database &db)
{
    const int count = db.clubCount();
    QList<QByteArray> names;
    names.reserve(count);
    for (int i = 0; i < count; ++i)
        names.append(ClubShortName(db, i));
    return ClubNameList(std::move(names));
}

QByteArray ClubNameList::get(int index) const
{
    return index >= 0 && index < size() ? mNames[index] : QByteArray();
}

bool ClubNameList::set(int index, const QByteArray &name)
{
    if (index < 0 || index >= size())
        return false;
    mNames[index] = name.left(ClubField::ShortName.capacity);
    return true;
}

void ClubNameList::append(const QByteArray &name)
{
    mNames.append(name.left(ClubField::ShortName.capacity));
}

int ClubNameList::indexOf(const QByteArray &name) const
{
    return int(mNames.indexOf(name));
}

int ClubNameList::indexOfIgnoringCase(const QByteArray &name) const
{
    for (int i = 0; i < size(); ++i) {
        if (equalIgnoringCase(mNames[i], name))
            return i;
    }
    return -1;
}

void Lookups::build(const Database &db, const QLocale &locale)
{
    mCompetitions = competitionItems(db);
    mNations = nationItems(db);
    mStadiums = PickList::fromStadiums(db, locale);
    mCities = PickList::fromCities(db, locale);
    mClubNames = ClubNameList::fromDatabase(db);
}

} // namespace kx3
