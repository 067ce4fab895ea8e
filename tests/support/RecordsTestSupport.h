#pragma once

#include "core/db/Database.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/records/IntegrityCheck.h"

#include <QStringList>
#include <QTest>

#include <functional>

/// Fails the test with every problem listed when the database is not sound.
#define KX3_VERIFY_SOUND(...)                                                                     \
    do {                                                                                          \
        const QStringList kx3Problems = kx3::checkIntegrity(__VA_ARGS__);                         \
        QVERIFY2(kx3Problems.isEmpty(), qPrintable(kx3Problems.join(QLatin1Char('\n'))));         \
    } while (false)

namespace kx3::test {

/// Every image a person confirm may touch, and the counters.
struct PersonImages
{
    QByteArray staff, first, second, common, nation, history;
    QList<QByteArray> setup;
    StaffCounters counters;

    static PersonImages of(const Database &db)
    {
        return {db.image(DataFile::Staff).bytes(),
                db.image(DataFile::FirstNames).bytes(),
                db.image(DataFile::SecondNames).bytes(),
                db.image(DataFile::CommonNames).bytes(),
                db.image(DataFile::Nation).bytes(),
                db.image(DataFile::StaffHistory).bytes(),
                db.setupLines(),
                db.counters()};
    }
    friend bool operator==(const PersonImages &, const PersonImages &) = default;
};

/// First person for which `pred` holds, or -1.
inline int findPerson(Database &db, const std::function<bool(const PersonRecord &)> &pred)
{
    for (int i = 0; i < personCount(db); ++i) {
        if (pred(*person(db, i)))
            return i;
    }
    return -1;
}

/// First position slot of record `clubIndex` holding `value` (-1 finds an empty
/// slot) within [first, first + count), or -1.
inline int findSlot(Database &db, int clubIndex, std::int32_t value, int first = 0,
                    int count = ClubSlots::Count)
{
    const std::optional<ClubRecord> c = club(db, clubIndex);
    for (int s = first; c && s < first + count; ++s) {
        if (c->positionSlot(s) == value)
            return s;
    }
    return -1;
}

/// staff.dat as a confirm of person `index` shown unchanged leaves it: every
/// byte as it was, but a negative second nationality stored as -2.
inline QByteArray staffAfterUnchangedConfirm(const Database &db, int index, bool staffScreen)
{
    Q_UNUSED(staffScreen)
    DataImage expected = db.image(DataFile::Staff);
    PersonRecord want(&expected, personOffset(index));
    if (want.secondNationality() < 0)
        want.setSecondNationality(PersonNone::Nation);
    return expected.bytes();
}

/// A club record as an unchanged confirm leaves it: the names' last bytes
/// 0xFF, a negative division, stadium or colour -2; flags keep their bytes.
inline QByteArray clubAfterUnchangedConfirm(const QByteArray &record)
{
    DataImage image(record);
    ClubRecord c(&image, 0);
    c.setLongName(c.longName());
    c.setShortName(c.shortName());
    const std::array<Field<std::int32_t>, 5> noneIsMinus2 = {
        ClubField::Division, ClubField::LastDivision, ClubField::OtherDivision,
        ClubField::MainStadium, ClubField::ReserveStadium};
    for (const auto f : noneIsMinus2) {
        if (c.get(f) < 0)
            c.set(f, std::int32_t(-2));
    }
    for (int k = 0; k < 6; ++k) {
        if (c.kitColour(k) < 0)
            c.setKitColour(k, -2);
    }
    return image.bytes();
}

} // namespace kx3::test
