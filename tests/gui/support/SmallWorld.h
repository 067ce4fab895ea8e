#pragma once

#include "core/db/Database.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/NameEntry.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/StadiumRecord.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <array>

namespace kx3::test {

/// A handful of named records written straight into a loaded database's
/// images, in index order, so that a screen test states the names it searches
/// for. finish() joins clubs and national teams into the combined club image.
class SmallWorld
{
public:
    explicit SmallWorld(Database &db) : mDb(db)
    {
        for (DataFile f : {DataFile::FirstNames, DataFile::SecondNames, DataFile::CommonNames,
                           DataFile::Staff, DataFile::Nation, DataFile::Club, DataFile::NatClub,
                           DataFile::Officials, DataFile::City, DataFile::Stadium})
            mDb.image(f).clear();
        mDb.clubs().clear();
        mDb.counters() = {};
    }

    int addNation(const QByteArray &longName, const QByteArray &shortName)
    {
        const int index = append(DataFile::Nation, RecordSize::Nation);
        auto n = nation(mDb, index);
        n->setLongName(longName);
        n->setShortName(shortName);
        return index;
    }

    int addPerson(const QByteArray &first, const QByteArray &second, const QByteArray &common,
                  int classification, int nationality = -2)
    {
        const int index = append(DataFile::Staff, RecordSize::Person);
        mDb.counters().persons = index + 1;
        mDb.counters().staffOffset = (index + 1) * RecordSize::Person;
        mDb.counters().playerOffset = mDb.counters().staffOffset;
        PersonRecord p(&mDb.image(DataFile::Staff), personOffset(index));
        p.setId(index);
        p.setFirstName(name(0, first));
        p.setSecondName(name(1, second));
        p.setCommonName(common.isEmpty() ? -1 : name(2, common));
        p.setNationality(nationality);
        p.setSecondNationality(-2);
        p.setNationalTeam(-2);
        p.setClub(-2);
        p.setClassification(classification);
        for (int slot = 0; slot < PersonRelationship::Count; ++slot)
            p.setRelationship(slot, PersonRelationship::isClubSlot(slot) ? -2 : -1);
        p.setPlayerAttributes(-1);
        p.setStaffAttributes(-1);
        return index;
    }

    /// Clubs first: a club added after a national team still comes before it.
    int addClub(const QByteArray &longName, const QByteArray &shortName, int nation)
    {
        return addTeam(DataFile::Club, longName, shortName, nation);
    }
    /// Returns the index within nat_club.Dat (club index = clubs + it).
    int addNationalTeam(const QByteArray &longName, const QByteArray &shortName, int nation)
    {
        return addTeam(DataFile::NatClub, longName, shortName, nation);
    }

    int addOfficial(const QByteArray &first, const QByteArray &second, int nation)
    {
        const int index = append(DataFile::Officials, RecordSize::Official);
        auto o = official(mDb, index);
        o->setId(index);
        o->setFirstName(name(0, first));
        o->setSecondName(name(1, second));
        o->setNation(nation);
        o->setCity(-2);
        return index;
    }

    int addCity(const QByteArray &cityName, int nation)
    {
        const int index = append(DataFile::City, RecordSize::City);
        auto c = city(mDb, index);
        c->setId(index);
        c->setName(cityName);
        c->setNation(nation);
        c->setClimate(-2);
        return index;
    }

    int addStadium(const QByteArray &stadiumName, int cityIndex)
    {
        const int index = append(DataFile::Stadium, RecordSize::Stadium);
        auto s = stadium(mDb, index);
        s->setId(index);
        s->setName(stadiumName);
        s->setCity(cityIndex);
        s->setNearby(-2);
        return index;
    }

    void finish()
    {
        mDb.clubs().setBytes(mDb.image(DataFile::Club).bytes()
                             + mDb.image(DataFile::NatClub).bytes());
        // The world built is what the session starts from.
        mDb.clearHistory();
    }

private:
    int append(DataFile file, int recordSize)
    {
        DataImage &image = mDb.image(file);
        const int index = int(image.recordCount(recordSize));
        image.append(QByteArray(recordSize, '\0'));
        return index;
    }

    int addTeam(DataFile file, const QByteArray &longName, const QByteArray &shortName,
                int nationIndex)
    {
        const int index = append(file, RecordSize::Club);
        ClubRecord c(&mDb.image(file), qsizetype(index) * RecordSize::Club);
        c.setId(index);
        c.setLongName(longName);
        c.setShortName(shortName);
        c.setNation(nationIndex);
        for (int slot = 0; slot < ClubRelationship::Count; ++slot)
            c.setRelationship(slot, ClubRelationship::isClubSlot(slot) ? -2 : -1);
        return index;
    }

    /// Entry of `text` in name table `table` (0 first, 1 second, 2 common).
    int name(int table, const QByteArray &text)
    {
        const DataFile file =
            std::array{DataFile::FirstNames, DataFile::SecondNames, DataFile::CommonNames}[table];
        auto found = mNames[table].constFind(text);
        if (found != mNames[table].constEnd())
            return *found;
        const int index = append(file, RecordSize::NameEntry);
        auto entry = nameEntry(mDb.image(file), index);
        entry->setText(text);
        entry->setId(index);
        entry->setNationKey(NoNationKey);
        mNames[table].insert(text, index);
        return index;
    }

    Database &mDb;
    std::array<QHash<QByteArray, int>, 3> mNames;
};

} // namespace kx3::test
